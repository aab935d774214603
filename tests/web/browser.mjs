// node browser.mjs CHROMIUM URL OUT T...: headless Chromium, driven through
// the DevTools protocol over a pipe, writes OUT/still-T.png, the screenshot of
// URL?t=T, for each T, for the caller to compare; the running page must
// retitle itself with a rate and move, and the page without its module
// (URL + 'nomodule/'), without WebAssembly or with a bad t must say so.
import { spawn } from 'node:child_process';
import { writeFileSync } from 'node:fs';
import { checkLayouts } from './layout.mjs';

const [chromium, url, out, ...times] = process.argv.slice(2);
const fail = (what) => { console.log(`FAIL: ${what}`); process.exit(1); };
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

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

const browser = spawn(chromium, ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync', '--force-color-profile=srgb',
  `--user-data-dir=${out}/profile`, '--remote-debugging-pipe', 'about:blank'],
{ stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
const waiting = new Map();
let next = 0, input = '';
browser.stdio[4].on('data', (chunk) => {
  for (input += chunk; input.includes('\0'); input = input.slice(input.indexOf('\0') + 1)) {
    const reply = JSON.parse(input.slice(0, input.indexOf('\0')));
    waiting.get(reply.id)?.(reply);
  }
});
let session;  // the page's, once attached
const send = (method, params = {}) => new Promise((resolve, reject) => {
  waiting.set(++next, (r) => (r.error ? reject(new Error(`${method}: ${r.error.message}`)) : resolve(r.result)));
  browser.stdio[3].write(JSON.stringify({ id: next, method, params, sessionId: session }) + '\0');
});
const evaluate = async (expression) => (await send('Runtime.evaluate', { expression, returnByValue: true })).result.value;
const shot = async () => Buffer.from((await send('Page.captureScreenshot', { format: 'png' })).data, 'base64');

// Loads a page, waits for its state (the body's data-state), and checks it
// and, if given, its text.
async function expect(address, state, text) {
  await evaluate('delete document.body.dataset.state');
  await send('Page.navigate', { url: address });
  let got;
  for (let tries = 0; tries < 200 && !got; ++tries, await sleep(50))
    got = await evaluate('document.readyState === "complete" && document.body.dataset.state');
  const says = await evaluate('document.body.innerText');
  if (got !== state || !says.includes(text ?? '')) fail(`${address}: state ${got}, not ${state}; it says "${says}"`);
}

const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
session = (await send('Target.attachToTarget', { targetId, flatten: true })).sessionId;
await send('Page.enable');
await send('Emulation.setDeviceMetricsOverride', { width: 640, height: 480, deviceScaleFactor: 1, mobile: false });
for (const t of times) {
  await expect(`${url}?t=${t}`, 'still');
  writeFileSync(`${out}/still-${t}.png`, await shot());
}
const loaded = await evaluate('performance.getEntriesByType("resource").map((e) => e.name).join(" ")');
if (!loaded.includes('/kvo-simd.wasm') || loaded.includes('/kvo.wasm')) fail(`Chromium loaded ${loaded}, not the SIMD module`);
console.log(`ok    ${times.length} stills, from the SIMD module; the plain module draws the same`);

await expect(url, 'running');
const start = Date.now();
let title = await evaluate('document.title');
if (title !== 'Kvo') fail(`the title starts as "${title}", not Kvo`);
for (; !/^Kvo \d+\.\d\d fps$/.test(title); title = await evaluate('document.title'), await sleep(100))
  if (Date.now() - start > 10000) fail(`no frame rate in the title after 10 s: "${title}"`);
const before = await shot();
let moves = false;
for (let tries = 0; tries < 100 && !moves; ++tries, await sleep(100)) moves = !before.equals(await shot());
if (!moves) fail('the running page\'s screenshots stay the same for 10 s');
console.log(`ok    title "${title}" after ${Date.now() - start} ms, and the picture moves`);

await checkLayouts(evaluate, async (w, h, ratio, mobile, key) => {
  await send('Emulation.setDeviceMetricsOverride', { width: w, height: h, deviceScaleFactor: ratio, mobile });
  for (const type of ['keyDown', 'keyUp']) await send('Input.dispatchKeyEvent', { type, key, text: key });
}, fail);
await send('Emulation.setDeviceMetricsOverride', { width: 640, height: 480, deviceScaleFactor: 1, mobile: false });

await expect(`${url}nomodule/`, 'failed', 'could not load its module');
await expect(`${url}?t=12x`, 'failed', 'must be a whole number');
await send('Page.addScriptToEvaluateOnNewDocument', { source: 'delete globalThis.WebAssembly' });
await expect(url, 'failed', 'needs WebAssembly');
browser.kill();
console.log('ok    the page says so without its module, without WebAssembly, and for a bad t');
