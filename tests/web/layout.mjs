// The running page's layout in a browser, as a phone upright and turned, a
// narrow window and a large one, each with a zoom key: no scrolling and no
// zooming out (the layout viewport the device's width); the frame inside the
// window at 4:3, centred, at its zoom or as large as fits (to a step of 4
// device pixels); 640 x 480 CSS pixels at zoom 1 in a large window.
//   checkLayouts(evaluate, size, fail): size(w, h, ratio, mobile, key) sets
//   the viewport and presses the key; evaluate(expression) gives its value.
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const layout = `JSON.stringify((() => { const r = document.getElementById('frame').getBoundingClientRect();
  const e = document.documentElement;
  return [innerWidth, innerHeight, visualViewport.scale, e.scrollWidth, e.scrollHeight, r.left, r.top, r.width, r.height];
})())`;

export async function checkLayouts(evaluate, size, fail) {
  for (const [w, h, ratio, mobile, key, want] of [[390, 844, 3, true, '1'], [844, 390, 3, true, '2'],
    [390, 600, 1, false, '1'], [1280, 1024, 1, false, '1', [640, 480]], [1280, 1024, 1, false, '2', [1280, 960]],
    [1280, 1024, 1, false, '4']]) {
    await size(w, h, ratio, mobile, key);
    let got;
    for (let tries = 0; tries < 100 && !(got && got[0] === w); ++tries, await sleep(50)) got = JSON.parse(await evaluate(layout));
    const [width, height, zoomed, scrollW, scrollH, left, top, across, down] = got;
    const fills = w - across < 4 / ratio + 0.01 || h - down < 3 / ratio + 0.01;
    const ok = width === w && height === h && zoomed === 1 && scrollW <= w && scrollH <= h && left >= 0 && top >= 0 &&
      Math.abs(across * 3 - down * 4) < 0.1 && Math.abs(2 * left + across - w) < 1 && Math.abs(2 * top + down - h) < 1 &&
      (want ? across === want[0] && down === want[1] : fills);
    const where = `${w} x ${h} at ${ratio}${mobile ? ' (a phone)' : ''}, key ${key}`;
    if (!ok) fail(`${where}: viewport ${width} x ${height} at ${zoomed}, page ${scrollW} x ${scrollH}, frame ${across} x ${down} at ${left}, ${top}`);
    console.log(`ok    ${where}: the frame ${across.toFixed(2)} x ${down.toFixed(2)} at ${left.toFixed(2)}, ${top.toFixed(2)}, nothing scrolls`);
  }
}
