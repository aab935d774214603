// node browser.mjs CHROMIUM URL OUT T...: drives headless Chromium through
// the DevTools protocol (over a pipe) on the page at URL, served with its
// modules, and at URL + 'nomodule/' without them. Writes OUT/still-T.png, the
// screenshot of ?t=T, for each T, for the caller to compare; checks that the
// running page retitles itself with a rate and moves, and that a page
// without its module, without WebAssembly, or with a bad t says so.
import { spawn } from 'node:child_process';
import { writeFileSync } from 'node:fs';

const [chromium, url, out, ...times] = process.argv.slice(2);
const fail = (what) => { console.log(`FAIL: ${what}`); process.exit(1); };
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A browser with a fresh profile and one 640 x 480 page; page.send(method,
// params) calls the protocol, page.eval(expression) evaluates in the page.
async function open() {
  const browser = spawn(chromium, ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--force-color-profile=srgb', `--user-data-dir=${out}/profile`, '--remote-debugging-pipe', 'about:blank'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
  const waiting = new Map();
  let next = 0, input = '';
  browser.stdio[4].on('data', (chunk) => {
    input += chunk;
    for (let end; (end = input.indexOf('\0')) >= 0; input = input.slice(end + 1)) {
      const reply = JSON.parse(input.slice(0, end));
      waiting.get(reply.id)?.(reply);
    }
  });
  const call = (method, params = {}, sessionId) => new Promise((resolve, reject) => {
    waiting.set(++next, (r) => (r.error ? reject(new Error(`${method}: ${r.error.message}`)) : resolve(r.result)));
    browser.stdio[3].write(JSON.stringify({ id: next, method, params, sessionId }) + '\0');
  });
  const { targetId } = await call('Target.createTarget', { url: 'about:blank' });
  const { sessionId } = await call('Target.attachToTarget', { targetId, flatten: true });
  const page = {
    send: (method, params) => call(method, params, sessionId),
    eval: async (expression) => (await page.send('Runtime.evaluate', { expression, returnByValue: true })).result.value,
    // Loads the page and waits for its state (body's data-state) to settle.
    load: async (address) => {
      await page.eval('delete document.body.dataset.state');
      await page.send('Page.navigate', { url: address });
      for (let tries = 0; tries < 200; ++tries, await sleep(50)) {
        const state = await page.eval('document.readyState === "complete" && document.body.dataset.state');
        if (state) return state;
      }
      fail(`${address} did not start`);
    },
    shot: async () => Buffer.from((await page.send('Page.captureScreenshot', { format: 'png' })).data, 'base64'),
    close: () => browser.kill(),
  };
  await page.send('Page.enable');
  await page.send('Emulation.setDeviceMetricsOverride', { width: 640, height: 480, deviceScaleFactor: 1, mobile: false });
  return page;
}

const expect = async (page, address, state, what) => {
  const got = await page.load(address);
  if (got !== state) fail(`${address}: state ${got}, not ${state}: ${await page.eval('document.body.innerText')}`);
  const text = await page.eval('document.body.innerText');
  if (what && !text.includes(what)) fail(`${address} says "${text}", not "${what}"`);
};

// The plain module draws what the SIMD one does (Chromium loads the latter).
const [plain, simd] = await Promise.all(['kvo.wasm', 'kvo-simd.wasm'].map(async (file) => {
  let now = 0;
  const module = await (await fetch(url + file)).arrayBuffer();
  const kvo = (await WebAssembly.instantiate(module, { env: { clock: () => now } })).instance.exports;
  kvo._initialize();
  kvo.KvoStart();
  return times.map((t) => {
    now = Number(t);
    kvo.KvoFrame();
    return Buffer.from(kvo.memory.buffer.slice(kvo.KvoImage(), kvo.KvoImage() + 640 * 480 * 4));
  });
}));
times.forEach((t, k) => plain[k].equals(simd[k]) || fail(`the modules draw different frames at ${t}`));

const page = await open();
for (const t of times) {
  await expect(page, `${url}?t=${t}`, 'still');
  writeFileSync(`${out}/still-${t}.png`, await page.shot());
}
const loaded = await page.eval('performance.getEntriesByType("resource").map((e) => e.name).join(" ")');
if (!loaded.includes('/kvo-simd.wasm') || loaded.includes('/kvo.wasm')) fail(`Chromium loaded ${loaded}, not the SIMD module`);
console.log(`ok    ${times.length} stills, from the SIMD module; the plain module draws the same`);

await expect(page, url, 'running');
const first = await page.eval('document.title');
if (first !== 'Kvo') fail(`the title starts as "${first}", not Kvo`);
const start = Date.now();
for (let title = first; !/^Kvo \d+\.\d\d fps$/.test(title); title = await page.eval('document.title')) {
  if (Date.now() - start > 10000) fail(`no frame rate in the title after 10 s: "${title}"`);
  await sleep(100);
}
const [a, b] = [await page.shot(), (await sleep(300), await page.shot())];
if (a.equals(b)) fail('two screenshots of the running page 300 ms apart are the same');
console.log(`ok    title "${await page.eval('document.title')}" after ${Date.now() - start} ms, and the picture moves`);

await expect(page, `${url}nomodule/`, 'failed', 'could not load its module');
await expect(page, `${url}?t=12x`, 'failed', 'must be a whole number');
await page.send('Page.addScriptToEvaluateOnNewDocument', { source: 'delete globalThis.WebAssembly' });
await expect(page, url, 'failed', 'needs WebAssembly');
page.close();
console.log('ok    the page says so without its module, without WebAssembly, and for a bad t');
