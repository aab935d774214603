// Kvo in a web page: runs the animation's WebAssembly module, draws its frames
// into the canvas and keeps the title as the program does. Keys 1, 2 and 4
// scale the frame, to at most what the window holds at 4:3; F or a double
// click toggles full screen. index.html?t=MS shows the still frame of clock
// reading MS at 1x.
const canvas = document.getElementById('frame');
const width = canvas.width, height = canvas.height;

// A module of one SIMD128 instruction: valid only where the browser has SIMD.
const simdProbe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10,
                                  10, 1, 8, 0, 65, 0, 253, 15, 253, 98, 11]);

function say(text) {
  canvas.hidden = true;
  const message = document.getElementById('message');
  message.textContent = text;
  message.hidden = false;
  document.body.dataset.state = 'failed';
}

// The frame at `zoom` times its size, or as large as the window holds at 4:3
// where that is less; in whole pixels of the screen, so that none is smoothed.
let zoom = 1;
function fit() {
  // The layout viewport's size: a page wider than it would have the browser zoom out.
  const ratio = devicePixelRatio || 1, area = document.documentElement;
  const most = Math.min(area.clientWidth * ratio, area.clientHeight * ratio * width / height);
  const across = Math.floor(Math.min(width * zoom * ratio, most) / 4) * 4;
  canvas.style.width = `${across / ratio}px`;
  canvas.style.height = `${(across * height) / width / ratio}px`;
}

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen();
  else canvas.requestFullscreen().catch(() => {});
}

async function start() {
  const asked = new URLSearchParams(location.search).get('t');
  if (asked !== null && !(/^\d{1,10}$/.test(asked) && Number(asked) < 2 ** 32))
    return say(`The still's time, t=${asked}, must be a whole number of milliseconds from 0 to 4294967295.`);
  if (typeof WebAssembly !== 'object')
    return say('Kvo needs WebAssembly, which this browser does not have or has switched off.');
  // The clock: performance.now() in whole milliseconds, modulo 2^32; a still
  // freezes every reading at its time.
  const clock = asked === null ? () => Math.floor(performance.now()) >>> 0 : () => Number(asked);
  const file = WebAssembly.validate(simdProbe) ? 'kvo-simd.wasm' : 'kvo.wasm';
  let kvo;
  try {
    const response = await fetch(file);
    if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
    const { instance } = await WebAssembly.instantiate(await response.arrayBuffer(), { env: { clock } });
    kvo = instance.exports;
    kvo._initialize();
    kvo.KvoStart();
  } catch (e) {
    return say(`Kvo could not load its module ${file}, so there is nothing to show. (${e.message})`);
  }
  const context = canvas.getContext('2d', { alpha: false });
  // Views into the module's memory, made afresh when the memory grows.
  const show = () => context.putImageData(
    new ImageData(new Uint8ClampedArray(kvo.memory.buffer, kvo.KvoImage(), width * height * 4), width, height), 0, 0);
  const title = () => {
    const bytes = new Uint8Array(kvo.memory.buffer, kvo.KvoTitle());
    return new TextDecoder().decode(bytes.subarray(0, bytes.indexOf(0)));
  };

  addEventListener('keydown', (e) => {
    if (e.altKey || e.ctrlKey || e.metaKey) return;
    if (['1', '2', '4'].includes(e.key)) zoom = Number(e.key), fit();
    else if (e.key === 'f' || e.key === 'F') toggleFullScreen();
  });
  canvas.addEventListener('dblclick', toggleFullScreen);

  if (asked !== null) {
    document.body.dataset.still = '';
    kvo.KvoFrame();
    show();
    document.body.dataset.state = 'still';
    return;
  }
  // A turned phone or a resized window: the frame fits again.
  addEventListener('resize', fit);
  fit();
  // Like the program with the screen saver, keep the screen on while it runs
  // (the browser lets go of the lock whenever the page is hidden).
  const stayAwake = () => navigator.wakeLock?.request('screen').catch(() => {});
  document.addEventListener('visibilitychange', () => document.visibilityState === 'visible' && stayAwake());
  stayAwake();
  const frame = () => {
    kvo.KvoFrame();
    show();
    if (kvo.KvoCount()) document.title = title();
    requestAnimationFrame(frame);
  };
  frame();
  document.body.dataset.state = 'running';
}

start();
