// node run_wasi.mjs PROGRAM.wasm DIR: runs a WASI program (the WebAssembly
// build of the unit tests) with DIR readable at its own path and the page's
// clock; its exit status is the program's.
import { readFile } from 'node:fs/promises';
import { WASI } from 'node:wasi';

const [program, dir] = process.argv.slice(2);
const wasi = new WASI({ version: 'preview1', args: [program], preopens: { [dir]: dir }, returnOnExit: true });
const { instance } = await WebAssembly.instantiate(await readFile(program), {
  wasi_snapshot_preview1: wasi.wasiImport,
  env: { clock: () => Math.floor(performance.now()) >>> 0 },
});
process.exitCode = wasi.start(instance);
