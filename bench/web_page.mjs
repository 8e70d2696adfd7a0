// Times the web page against the command line, and opens it with no network.
//
//     node bench/web_page.mjs [--build build] [--runs 31] [--drawing-runs 11]
//
// Prints the page's weight, and for two files the time from a drop to the
// verdict painted on the page in headless Chromium (the page opened from
// file://, the file dropped as from the desktop), and to the level's preview
// shown after it, beside the programs' times on the same file from the
// command line, start to exit: examples/level.bmp (bmp2land level.bmp;
// landinfo level.bmp out.png), and a drawing, a 1920 x 696 RGBA PNG of
// several thousand colours, bench/drawing.sh's (landinfo drawing.png
// level.bmp, then bmp2land level.bmp; landinfo drawing.png out.png). The
// drawing is made with picture_bench and ImageMagick's convert. Then, where
// `unshare --net` works (as root), it runs itself again in a network
// namespace of its own, with no network at all, and checks that the page
// converts the example there to bmp2land's land.dat. A benchmark, not a test:
// it asserts no time. Budgets: under 1 MB, and under 300 ms from the drop of
// the example to its verdict.

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
const drawingRuns = Number(option('--drawing-runs', '11'));
const offlineOnly = process.argv.includes('--offline-check');
const pagePath = path.join(build, 'web', 'page', 'bmp2land.html');
const bmp2land = path.join(build, 'bmp2land');
const landinfo = path.join(build, 'landinfo');
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

// Drops a file and returns the milliseconds until the verdict is on the
// screen (the page's own event, then the frame that paints it) and until the
// preview is shown after it.
function dropFile(page, bytes, name) {
  return page.evaluate(async ({ data, name }) => {
    const binary = atob(data);
    const array = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) array[i] = binary.charCodeAt(i);
    const transfer = new DataTransfer();
    transfer.items.add(new File([array], name));
    const shown = new Promise((resolve) =>
      document.addEventListener('bmp2land:shown', (e) => resolve(e.detail), { once: true }));
    const previewed = new Promise((resolve) =>
      document.addEventListener('bmp2land:preview', (e) => resolve(e.detail), { once: true }));
    const start = performance.now();
    document.querySelector('main').dispatchEvent(
      new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    const state = await shown;
    await new Promise((resolve) => requestAnimationFrame(() => resolve()));
    const verdict = performance.now() - start;
    const drawn = await previewed;
    await new Promise((resolve) => requestAnimationFrame(() => resolve()));
    return { state, drawn, verdict, preview: performance.now() - start };
  }, { data: bytes.toString('base64'), name });
}

const dropExample = (page) => dropFile(page, example, 'level.bmp');

async function savedLandFile(page) {
  const downloading = page.waitForEvent('download');
  await page.click('#save-land');
  return fs.readFileSync(await (await downloading).path());
}

// Runs `command` with `args` in `dir` `count` times after 3 to warm up, the
// files `fresh` removed before each run; the milliseconds of each.
function timed(dir, count, fresh, command, ...args) {
  const times = [];
  for (let i = 0; i < count + 3; ++i) {
    for (const name of fresh) fs.rmSync(path.join(dir, name), { force: true });
    const start = process.hrtime.bigint();
    const r = spawnSync(command, args, { cwd: dir });
    if (r.status !== 0 && r.status !== 1) throw new Error(`${command} failed: ${r.stderr}`);
    if (i >= 3) times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  return times;
}

function commandLineLandFile() {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'bmp2land-bench-'));
  fs.writeFileSync(path.join(dir, 'level.bmp'), example);
  const times = timed(dir, runs, [], bmp2land, 'level.bmp');
  const land = fs.readFileSync(path.join(dir, 'land.dat'));
  fs.rmSync(dir, { recursive: true });
  return { times, land };
}

// bench/drawing.sh's drawing: picture_bench's RGBA samples, saved by
// ImageMagick as a compressed PNG.
function makeDrawing(dir) {
  const convert = ['convert-im6.q16', 'magick', 'convert'].find(
    (c) => spawnSync(c, ['-version']).status === 0);
  if (!convert) throw new Error('ImageMagick\'s convert is needed to make the drawing');
  const built = spawnSync('cmake', ['--build', build, '--target', 'picture_bench']);
  if (built.status !== 0) throw new Error(`picture_bench: ${built.stdout}${built.stderr}`);
  const rgba = path.join(dir, 'drawing.rgba');
  const png = path.join(dir, 'drawing.png');
  spawnSync(path.join(build, 'bench', 'picture_bench'), ['make', rgba]);
  spawnSync(convert, ['-size', '1920x696', '-depth', '8', `rgba:${rgba}`,
                      '-define', 'png:compression-level=9', `PNG32:${png}`]);
  return fs.readFileSync(png);
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

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'bmp2land-bench-'));
const drawing = makeDrawing(scratch);
console.log(`drawing: ${drawing.length} bytes, 1920 x 696 RGBA PNG`);

// Drops `bytes` `count` times after the first, which a user who has just
// opened the page waits; the times of each.
async function drops(page, bytes, name, count, expected) {
  const all = [];
  for (let i = 0; i < count + 1; ++i) {
    const r = await dropFile(page, bytes, name);
    if (r.state !== expected || !r.drawn) throw new Error(`the page says ${r.state} of ${name}`);
    all.push(r);
  }
  return { first: all.shift(), rest: all };
}
const summary = (label, { first, rest }, key) =>
  `${label}: first ${ms(first[key])}, then median ${ms(median(rest.map((r) => r[key])))}, ` +
  `slowest ${ms(Math.max(...rest.map((r) => r[key])))} (${rest.length} drops)`;

const { browser, page, loaded } = await openPage();
console.log(`page opened and ready: ${loaded} ms`);
const exampleDrops = await drops(page, example, 'level.bmp', runs, 'converts');
const pageLand = await savedLandFile(page);
const drawingDrops = await drops(page, drawing, 'drawing.png', drawingRuns, 'converts');
await browser.close();
const commandLine = commandLineLandFile();
if (!pageLand.equals(commandLine.land)) throw new Error('the page\'s land.dat is not bmp2land\'s');

fs.writeFileSync(path.join(scratch, 'level.bmp'), example);
const examplePreview = timed(scratch, runs, ['out.png'], landinfo, 'level.bmp', 'out.png');
const drawingLevel = timed(scratch, drawingRuns, ['made.bmp'], landinfo, 'drawing.png', 'made.bmp');
const drawingLand = timed(scratch, drawingRuns, [], bmp2land, 'made.bmp');
const drawingPreview = timed(scratch, drawingRuns, ['out.png'], landinfo, 'drawing.png', 'out.png');
fs.rmSync(scratch, { recursive: true });
const line = (label, times) =>
  `${label}: median ${ms(median(times))}, slowest ${ms(Math.max(...times))} (${times.length} runs)`;

console.log('\nexamples/level.bmp');
console.log(summary('  drop to verdict in headless Chromium', exampleDrops, 'verdict') +
            ', budget 300 ms');
console.log(summary('  drop to preview shown', exampleDrops, 'preview'));
console.log(line('  bmp2land level.bmp from the command line', commandLine.times));
console.log(line('  landinfo level.bmp out.png', examplePreview));
console.log('\ndrawing.png');
console.log(summary('  drop to verdict in headless Chromium', drawingDrops, 'verdict'));
console.log(summary('  drop to preview shown', drawingDrops, 'preview'));
console.log(line('  landinfo drawing.png level.bmp', drawingLevel));
console.log(line('  then bmp2land level.bmp', drawingLand));
console.log(line('  landinfo drawing.png out.png', drawingPreview));

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
