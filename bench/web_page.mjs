// Times the web page against the command line, and opens it with no network.
//
//     node bench/web_page.mjs [--build build] [--runs 31]
//
// Prints the page's weight, the time from a drop of examples/level.bmp to the
// verdict painted on the page in headless Chromium (the page opened from
// file://, the file dropped as from the desktop), beside the time bmp2land
// takes on the same file from the command line, start to exit. Then, where
// `unshare --net` works (as root), it runs itself again in a network
// namespace of its own, with no network at all, and checks that the page
// converts the example there to bmp2land's land.dat. A benchmark, not a test:
// it asserts no time. Budgets: under 1 MB and under 300 ms.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const top = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..');
const option = (name, fallback) => {
  const at = process.argv.indexOf(name);
  return at > 0 ? process.argv[at + 1] : fallback;
};
const build = path.resolve(option('--build', path.join(top, 'build')));
const runs = Number(option('--runs', '31'));
const offlineOnly = process.argv.includes('--offline-check');
const pagePath = path.join(build, 'web', 'page', 'bmp2land.html');
const bmp2land = path.join(build, 'bmp2land');
const example = fs.readFileSync(path.join(top, 'examples', 'level.bmp'));

process.env.PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD = '1';
const { chromium } = createRequire(path.join(top, 'web', 'package.json'))('playwright-core');

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(1)} ms`;

async function openPage() {
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = await browser.newPage({ acceptDownloads: true });
  await page.setViewportSize({ width: 1280, height: 900 });
  const loadStart = Date.now();
  await page.goto(pathToFileURL(pagePath).href);
  // Ready once the module has started; a drop before that waits for it.
  await page.waitForSelector('html[data-converter="ready"]', { state: 'attached' });
  return { browser, page, loaded: Date.now() - loadStart };
}

// Drops the example and returns the milliseconds until the verdict is on the
// screen: the page's own event, then the frame that paints it.
function dropExample(page) {
  return page.evaluate(async (data) => {
    const binary = atob(data);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    const transfer = new DataTransfer();
    transfer.items.add(new File([bytes], 'level.bmp'));
    const shown = new Promise((resolve) =>
      document.addEventListener('bmp2land:shown', (e) => resolve(e.detail), { once: true }));
    const start = performance.now();
    document.querySelector('main').dispatchEvent(
      new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    const state = await shown;
    await new Promise((resolve) => requestAnimationFrame(() => resolve()));
    return { state, elapsed: performance.now() - start };
  }, example.toString('base64'));
}

async function savedLandFile(page) {
  const downloading = page.waitForEvent('download');
  await page.click('#save-land');
  return fs.readFileSync(await (await downloading).path());
}

function commandLineLandFile() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'bmp2land-bench-'));
  fs.writeFileSync(path.join(dir, 'level.bmp'), example);
  const times = [];
  for (let i = 0; i < runs + 3; ++i) {
    const start = process.hrtime.bigint();
    const r = spawnSync(bmp2land, ['level.bmp'], { cwd: dir });
    if (r.status !== 0) throw new Error(`bmp2land failed: ${r.stdout}`);
    if (i >= 3) times.push(Number(process.hrtime.bigint() - start) / 1e6);  // 3 to warm up
  }
  const land = fs.readFileSync(path.join(dir, 'land.dat'));
  fs.rmSync(dir, { recursive: true });
  return { times, land };
}

// The page, run with no network: converts the example to bmp2land's land.dat.
async function offlineCheck() {
  const { browser, page } = await openPage();
  const { state } = await dropExample(page);
  const land = state === 'converts' ? await savedLandFile(page) : Buffer.alloc(0);
  await browser.close();
  const expected = commandLineLandFile().land;
  const same = land.equals(expected);
  console.log(`network off: the page says "${state}", land.dat ${same ? 'is' : 'is NOT'} ` +
              `bmp2land's (${land.length} bytes)`);
  return same;
}

if (offlineOnly) {
  process.exit((await offlineCheck()) ? 0 : 1);
}

const weight = fs.statSync(pagePath).size;
console.log(`page weight: ${weight} bytes (${(weight / 1024).toFixed(0)} KiB), budget 1 MB`);

const { browser, page, loaded } = await openPage();
console.log(`page opened and ready: ${loaded} ms`);
const drops = [];
for (let i = 0; i < runs + 1; ++i) {
  const { state, elapsed } = await dropExample(page);
  if (state !== 'converts') throw new Error(`the page says ${state}`);
  drops.push(elapsed);
}
const first = drops.shift();  // what a user who has just opened the page waits
const pageLand = await savedLandFile(page);
await browser.close();
const commandLine = commandLineLandFile();
if (!pageLand.equals(commandLine.land)) throw new Error('the page\'s land.dat is not bmp2land\'s');
console.log(`drop to verdict in headless Chromium: first ${ms(first)}, then median ` +
            `${ms(median(drops))}, slowest ${ms(Math.max(...drops))} (${runs} drops), budget 300 ms`);
console.log(`bmp2land level.bmp from the command line: median ${ms(median(commandLine.times))}, ` +
            `slowest ${ms(Math.max(...commandLine.times))} (${runs} runs)`);

// The same page with no network at all: a network namespace of its own.
const unshare = spawnSync('unshare', ['--net', 'true']);
if (unshare.status === 0) {
  const offline = spawnSync('unshare', ['--net', process.execPath, fileURLToPath(import.meta.url),
                                        '--build', build, '--offline-check'],
                            { stdio: 'inherit' });
  process.exitCode = offline.status;
} else {
  console.log('network off: not checked (unshare --net needs root here)');
}
