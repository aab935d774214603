// node --experimental-websocket firefox.mjs URL OUT T...: headless Firefox,
// driven through WebDriver BiDi, writes OUT/firefox-still-T.png, the
// screenshot of URL?t=T at 640 x 480, for each T, for the caller to compare;
// then the running page's layout as in Chromium (layout.mjs). Firefox follows
// a page's meta viewport, as on a phone, with dom.meta-viewport.enabled.
import { spawn } from 'node:child_process';
import { writeFileSync } from 'node:fs';
import { checkLayouts } from './layout.mjs';

const [address, out, ...times] = process.argv.slice(2);
const fail = (what) => { console.log(`FAIL: ${what}`); process.exit(1); };
writeFileSync(`${out}/ffprofile/user.js`, ['dom.meta-viewport.enabled', 'gfx.color_management.mode']
  .map((name, k) => `user_pref("${name}", ${k ? 0 : true});\n`).join(''));
const firefox = spawn('firefox-esr', ['--headless', '--no-remote', '--profile', `${out}/ffprofile`,
  '--remote-debugging-port=0'], { stdio: ['ignore', 'ignore', 'pipe'] });
const bidi = await new Promise((resolve, reject) => {
  let said = '';
  firefox.stderr.on('data', (chunk) => {
    const found = /WebDriver BiDi listening on (ws:\S+)/.exec(said += chunk);
    if (found) resolve(found[1]);
  });
  firefox.on('exit', () => reject(new Error(`Firefox ended: ${said}`)));
});
const socket = new WebSocket(`${bidi}/session`);
await new Promise((resolve) => socket.addEventListener('open', resolve));
const waiting = new Map();
let next = 0;
socket.addEventListener('message', (e) => { const m = JSON.parse(e.data); waiting.get(m.id)?.(m); });
const send = (method, params = {}) => new Promise((resolve, reject) => {
  waiting.set(++next, (m) => (m.type === 'error' ? reject(new Error(`${method}: ${m.message}`)) : resolve(m.result)));
  socket.send(JSON.stringify({ id: next, method, params }));
});
await send('session.new', { capabilities: {} });
const context = (await send('browsingContext.getTree')).contexts[0].context;
const evaluate = async (expression) =>
  (await send('script.evaluate', { target: { context }, expression, awaitPromise: false })).result.value;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
// Loads a page and waits for its state (the body's data-state).
async function load(url, state) {
  await send('browsingContext.navigate', { context, url, wait: 'complete' });
  let got;
  for (let tries = 0; tries < 200 && got !== state; ++tries, await sleep(50)) got = await evaluate('document.body.dataset.state');
  if (got !== state) fail(`${url}: state ${got}, not ${state}`);
}

await send('browsingContext.setViewport', { context, viewport: { width: 640, height: 480 }, devicePixelRatio: 1 });
for (const t of times) {
  await load(`${address}?t=${t}`, 'still');
  const { data } = await send('browsingContext.captureScreenshot', { context, origin: 'viewport' });
  writeFileSync(`${out}/firefox-still-${t}.png`, Buffer.from(data, 'base64'));
}
console.log(`ok    Firefox: ${times.length} stills`);
await load(address, 'running');
await checkLayouts(evaluate, async (w, h, ratio, mobile, key) => {
  await send('browsingContext.setViewport', { context, viewport: { width: w, height: h }, devicePixelRatio: ratio });
  await send('input.performActions', { context,
    actions: [{ type: 'key', id: 'keys', actions: [{ type: 'keyDown', value: key }, { type: 'keyUp', value: key }] }] });
}, (what) => fail(`Firefox: ${what}`));
firefox.kill();
process.exit(0);
