// node tests/web/page_test.mjs PAGE BMP2LAND LANDINFO OUT_DIR
//
// The page in a real browser: Debian's Chromium, headless, driven by
// playwright-core, the page opened from file://. Each case gives the page a
// file as a user does and holds it to the programs themselves, run on the
// same file in a scratch folder: the same verdict line, landinfo's report
// word for word, and the same bytes for every file the page saves.
// A screenshot after a drop is left in OUT_DIR for a person to look at.
//
// Exits 77 (CTest's skip) with a reason, in GoogleTest's words, where
// Chromium, playwright-core or the page is missing.

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import zlib from 'node:zlib';

const kSkip = 77;
class Failure extends Error {}
const kChromium = '/usr/bin/chromium';
const here = path.dirname(fileURLToPath(import.meta.url));
const top = path.resolve(here, '..', '..');

function skip(reason) {
  console.log(`${fileURLToPath(import.meta.url)}:1: Skipped\n${reason}`);
  process.exit(kSkip);
}

const [pagePath, bmp2land, landinfo, outDir] = process.argv.slice(2).map((a) => path.resolve(a));
if (!outDir) {
  console.error('usage: node page_test.mjs PAGE BMP2LAND LANDINFO OUT_DIR');
  process.exit(2);
}
if (!fs.existsSync(pagePath)) skip(`the page ${pagePath} was not built`);
if (!fs.existsSync(kChromium)) {
  skip(`Chromium is not installed (${kChromium}); bash tests/check.sh installs it`);
}
process.env.PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD = '1';
let chromium;
try {
  ({ chromium } = createRequire(path.join(top, 'web', 'package.json'))('playwright-core'));
} catch {
  skip('playwright-core is not in web/node_modules: run npm ci in web/ (bash tests/check.sh does)');
}

// ---- the programs, in a scratch folder -------------------------------------

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'bmp2land-web-'));
let scratchCount = 0;

// Runs `program` with `args` in a fresh folder holding `files` ({name: bytes}).
function runIn(files, program, ...args) {
  const dir = path.join(scratch, `run-${++scratchCount}`);
  fs.mkdirSync(dir);
  for (const [name, bytes] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), bytes);
  const r = spawnSync(program, args, { cwd: dir });
  if (r.error) throw r.error;
  return {
    dir, status: r.status, out: r.stdout.toString(), err: r.stderr.toString(),
    file: (name) => fs.readFileSync(path.join(dir, name)),
  };
}

const lastLine = (text) => text.trimEnd().split('\n').pop();
// landinfo's lines of one kind ("hint", "warning"), without their label.
const labelled = (report, label) => report.split('\n').filter((l) => l.startsWith(`${label}: `))
  .map((l) => l.slice(label.length + 2));
// What to do, as landinfo says it: its hints, then its warnings.
const advised = (report) => labelled(report, 'hint').concat(labelled(report, 'warning'));
// landinfo's facts and verdict: its report but for what to do, which the
// page words in its own terms.
const factsOf = (report) => report.split('\n')
  .filter((l) => !l.startsWith('hint: ') && !l.startsWith('warning: ')).join('\n');

// ---- the files ------------------------------------------------------------

const example = fs.readFileSync(path.join(top, 'examples', 'level.bmp'));
const kPixelOffset = example.readUInt32LE(10);
const exampleLand = runIn({ 'level.bmp': example }, bmp2land, 'level.bmp').file('land.dat');

// The example with `change` made to a copy of its bytes.
function changed(change) {
  const bytes = Buffer.from(example);
  change(bytes);
  return bytes;
}

// The example's headers and palette over RLE8 `data`.
function rle8(data) {
  const head = changed((b) => {
    b.writeUInt32LE(1, 30);  // biCompression: RLE8
    b.writeUInt32LE(data.length, 34);
    b.writeUInt32LE(kPixelOffset + data.length, 2);
  }).subarray(0, kPixelOffset);
  return Buffer.concat([head, Buffer.from(data)]);
}

// The example's headers and palette with its pixels (all 0) starting past
// the first 64 MiB, the most the programs and the page read of a file.
function pixelsPastReadCap() {
  const offset = (64 << 20) + 4096;
  const head = changed((b) => {
    b.writeUInt32LE(offset, 10);  // bfOffBits
    b.writeUInt32LE(offset + 1920 * 696, 2);
  }).subarray(0, kPixelOffset);
  return Buffer.concat([head, Buffer.alloc(offset + 1920 * 696 - kPixelOffset)]);
}

// The example with its object pixels (index 255) counted, and one of them
// cleared or one more set where none touches another.
function objectPixels() {
  const found = [];
  for (let i = kPixelOffset; i < example.length; ++i) if (example[i] === 255) found.push(i);
  return found;
}
function withObjects(count) {
  const objects = objectPixels();
  return changed((b) => {
    if (count < objects.length) {
      for (const at of objects.slice(count)) b[at] = 0;
    } else {
      for (let at = kPixelOffset + 2000; count > objects.length; at += 7) {
        if (!objects.includes(at)) {
          b[at] = 255;
          objects.push(at);
        }
      }
    }
  });
}

// The example with entries 0 and 255 swapped, in the palette and the
// pixels: the sky on the object entry, as a paint program that renumbers
// the palette may leave it.
function skyOnEntry255() {
  return changed((b) => {
    const sky = b.subarray(54, 58);
    const objects = b.subarray(54 + 4 * 255, 58 + 4 * 255);
    const entry0 = Buffer.from(sky);
    sky.set(objects);
    objects.set(entry0);
    for (let i = kPixelOffset; i < b.length; ++i) {
      if (b[i] === 0 || b[i] === 255) b[i] = 255 - b[i];
    }
  });
}

// A drawing of the example: its colours, the sky transparent and each
// object a magenta dot, as 8-bit RGBA rows (top row first); `objects` keeps
// only the first of them, bottom row first.
function exampleDrawing(objects = 30, sky = [0, 0, 0, 0]) {
  const palette = (i) => [example[54 + 4 * i + 2], example[54 + 4 * i + 1], example[54 + 4 * i]];
  const rgba = Buffer.alloc(1920 * 696 * 4);
  let kept = 0;
  for (let stored = 0; stored < 696; ++stored) {
    const y = 695 - stored;
    for (let x = 0; x < 1920; ++x) {
      const v = example[kPixelOffset + stored * 1920 + x];
      const marker = v === 255 && kept++ < objects;
      const pixel = marker ? [255, 0, 255, 255]
        : v === 0 || v === 255 ? sky : [...palette(v), 255];
      rgba.set(pixel, (y * 1920 + x) * 4);
    }
  }
  return rgba;
}

// RGBA rows as a PNG, written here with node's zlib: a signature, IHDR,
// one IDAT of every row with filter 0, and IEND.
const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xFFFFFFFF;
  for (const b of bytes) c = crcTable[(c ^ b) & 0xFF] ^ (c >>> 8);
  return (c ^ 0xFFFFFFFF) >>> 0;
}
function chunk(type, data) {
  const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(body));
  return Buffer.concat([length, body, crc]);
}
function rgbaPng(rgba, width, height) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 6, 0, 0, 0], 8);  // 8 bits, RGBA, deflate, filter 0, not interlaced
  const rows = Buffer.alloc(height * (1 + width * 4));
  for (let y = 0; y < height; ++y) {
    rgba.copy(rows, y * (1 + width * 4) + 1, y * width * 4, (y + 1) * width * 4);
  }
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A]),
                       chunk('IHDR', header), chunk('IDAT', zlib.deflateSync(rows)),
                       chunk('IEND', Buffer.alloc(0))]);
}

// ---- the browser ----------------------------------------------------------

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'bmp2land-chromium-'));
const context = await chromium.launchPersistentContext(profile, {
  executablePath: kChromium,
  headless: true,
  acceptDownloads: true,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const requests = [];
const pageErrors = [];
const shortened = (text) => (text.length > 300 ? `${text.slice(0, 300)}…` : text);
context.on('request', (request) => requests.push(request.url()));

const chooserWaiters = [];
const nextChooser = () => new Promise((resolve, reject) => {
  const timer = setTimeout(() => reject(new Failure('no file chooser opened')), 10000);
  chooserWaiters.push((chooser) => {
    clearTimeout(timer);
    resolve(chooser);
  });
});

// The page opened from the disk in a new tab, as a user opens it; `before`
// runs in it before the page's own scripts.
async function openPage(before = null) {
  const opened = await context.newPage();
  if (before) await opened.addInitScript(before);
  opened.on('pageerror', (error) => pageErrors.push(shortened(String(error))));
  opened.on('console', (message) => {
    if (message.type() === 'error') pageErrors.push(shortened(message.text()));
  });
  // Listened for from the start: Playwright catches the file chooser only
  // once it has told the browser to, which takes a moment.
  opened.on('filechooser', (chooser) => chooserWaiters.splice(0).forEach((w) => w(chooser)));
  await opened.setViewportSize({ width: 1280, height: 900 });
  await opened.goto(pathToFileURL(path.resolve(pagePath)).href);
  return opened;
}
let page = await openPage();

// Drops `bytes` as a file called `name` onto the page, as a drag from the
// desktop does, and waits until the page has shown what it made of it. The
// zeros at the end travel as a count, so that a file of tens of megabytes
// does not cross to the browser as text.
async function drop(name, bytes) {
  let end = bytes.length;
  while (end > 0 && bytes[end - 1] === 0) --end;
  return page.evaluate(async ({ name, data, zeros }) => {
    const binary = atob(data);
    const array = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) array[i] = binary.charCodeAt(i);
    const transfer = new DataTransfer();
    transfer.items.add(new File([array, new Uint8Array(zeros)], name));
    const shown = new Promise((resolve) =>
      document.addEventListener('bmp2land:shown', (e) => resolve(e.detail), { once: true }));
    // The preview comes after the verdict; previewDrawn() waits for it.
    window.previewDrawn = new Promise((resolve) =>
      document.addEventListener('bmp2land:preview', (e) => resolve(e.detail), { once: true }));
    document.querySelector('main').dispatchEvent(
      new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    return shown;
  }, { name, data: bytes.subarray(0, end).toString('base64'), zeros: bytes.length - end });
}

// Waits for the preview of the file dropped last, and returns its bytes as
// the page saves them, with its text alternative.
async function previewDrawn() {
  if (!(await page.evaluate(() => window.previewDrawn))) throw new Failure('no preview shown');
  const alt = await page.evaluate(() => document.getElementById('preview').alt);
  const { name, bytes } = await saved('save-preview');
  expectEqual(name, 'preview.png', 'the saved preview\'s name');
  return { bytes, alt };
}

// The preview the page shows of the file dropped last is the PNG that
// `landinfo NAME out.png` writes, byte for byte; its text alternative says
// `words`.
async function checkPreview(name, bytes, words) {
  const written = runIn({ [name]: bytes }, landinfo, name, 'out.png');
  const shown = await previewDrawn();
  expectSameBytes(shown.bytes, written.file('out.png'), 'the preview');
  if (!shown.alt.startsWith('Preview of') || !shown.alt.includes(words)) {
    throw new Failure(`the preview's text alternative: "${shown.alt}"`);
  }
}

// What the page shows now.
function shownNow() {
  return page.evaluate(() => {
    const text = (id) => document.getElementById(id).textContent;
    const offered = (id) => document.getElementById(id).getAttribute('aria-disabled') === 'false';
    return {
      state: document.getElementById('outcome').dataset.state,
      headline: text('headline'),
      verdict: text('verdict-line'),
      advice: document.getElementById('advice').hidden
        ? [] : Array.from(document.querySelectorAll('#advice-list li'), (li) => li.textContent),
      report: text('report'),
      landOffered: offered('save-land'),
      bitmapOffered: offered('save-bitmap'),
      saveWhy: text('save-why'),
      previewAlt: document.getElementById('preview').alt,
    };
  });
}

// Where no preview is shown, the picture's place says why, and the hidden
// picture takes no room on the page (an empty one is a black box).
async function expectNoPicture(what) {
  const shown = await page.evaluate(() => {
    const box = (id) => document.getElementById(id).getBoundingClientRect().height;
    return { picture: box('preview'), place: box('preview-empty') };
  });
  if (shown.picture !== 0 || shown.place === 0) {
    throw new Failure(`${what}: the picture's height ${shown.picture}, its place's ${shown.place}`);
  }
}

// Presses a save button (with the mouse, or with `key` once it has focus)
// and returns the file the browser saved.
async function saved(button, key) {
  const downloading = page.waitForEvent('download', { timeout: 10000 });
  if (key) await page.keyboard.press(key);
  else await page.click(`#${button}`);
  const download = await downloading;
  return { name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path()) };
}

// ---- checks ---------------------------------------------------------------

function expectEqual(actual, expected, what) {
  if (JSON.stringify(actual) !== JSON.stringify(expected)) {
    throw new Failure(`${what}: expected ${JSON.stringify(expected)}, got ${JSON.stringify(actual)}`);
  }
}
function expectSameBytes(actual, expected, what) {
  if (!Buffer.from(actual).equals(Buffer.from(expected))) {
    throw new Failure(`${what}: ${actual.length} bytes differ from the expected ${expected.length}`);
  }
}

// What the page tells to do: landinfo's hints and warnings, as many as
// the program gives, in the page's words: no command, as the page has no
// console to type it in. `words` are in them.
function checkAdvice(seen, report, words = []) {
  // Where landinfo has nothing to advise, the page may point to its report.
  const advice = advised(report.out);
  if (advice.length > 0) {
    expectEqual(seen.advice, advised(seen.report), 'what to do');
    expectEqual(seen.advice.length, advice.length, 'lines of what to do');
  }
  expectEqual(factsOf(seen.report), factsOf(report.out), 'landinfo\'s facts and verdict');
  const commands = seen.advice.filter((line) => /"(landinfo|bmp2land) /.test(line));
  expectEqual(commands, [], 'what to do with a command in it');
  for (const word of words) {
    if (!seen.advice.some((line) => line.includes(word))) {
      throw new Failure(`what to do does not say "${word}": ${JSON.stringify(seen.advice)}`);
    }
  }
}

// A bitmap bmp2land refuses: its verdict line, landinfo's report and what
// to do, and nothing to save.
async function checkRefused(name, bytes, previewWords = null, adviceWords = []) {
  const command = runIn({ [name]: bytes }, bmp2land, name);
  const report = runIn({ [name]: bytes }, landinfo, name);
  expectEqual(command.status, 1, 'bmp2land\'s status (the case must be a refusal)');
  const shown = await drop(name, bytes);
  expectEqual(shown, 'refused', 'the page\'s state');
  const seen = await shownNow();
  expectEqual(seen.verdict, lastLine(command.out), 'the verdict line');
  checkAdvice(seen, report, adviceWords);
  expectEqual([seen.landOffered, seen.bitmapOffered], [false, false], 'save buttons offered');
  if (!seen.saveWhy.includes('bmp2land does not convert')) {
    throw new Failure(`the buttons do not say why: "${seen.saveWhy}"`);
  }
  if (previewWords !== null) await checkPreview(name, bytes, previewWords);
}

// A drawing that gives no level (of the wrong size, cut short): landinfo's
// words, as its preview gives them, and nothing to save.
async function checkNoLevel(name, bytes) {
  const report = runIn({ [name]: bytes }, landinfo, name, 'out.png');
  expectEqual(report.status, 1, 'landinfo\'s status');
  expectEqual(await drop(name, bytes), 'refused', 'the page\'s state');
  const seen = await shownNow();
  expectEqual(seen.verdict, lastLine(report.err), 'landinfo\'s words');
  expectEqual([seen.landOffered, seen.bitmapOffered], [false, false], 'save buttons offered');
  await checkPreview(name, bytes, 'grey stripes');
}

// A drawing made into a level as `landinfo NAME level.bmp` makes it, and
// converted as `bmp2land level.bmp` converts that: its words, the level
// bitmap and land.dat, byte for byte, and the level's preview.
async function checkDrawing(name, bytes, previewWords, adviceWords = []) {
  const made = runIn({ [name]: bytes }, landinfo, name, 'level.bmp');
  const level = made.file('level.bmp');
  const converted = runIn({ 'level.bmp': level }, bmp2land, 'level.bmp');
  const converts = converted.status === 0;
  expectEqual(await drop(name, bytes), converts ? 'converts' : 'refused', 'the page\'s state');
  const seen = await shownNow();
  expectEqual(seen.verdict, lastLine(converted.out), 'bmp2land\'s verdict on level.bmp');
  checkAdvice(seen, { out: made.out.replace('written: level.bmp\n', '') }, adviceWords);
  expectEqual([seen.landOffered, seen.bitmapOffered], [converts, true], 'save buttons offered');
  expectSameBytes((await saved('save-bitmap')).bytes, level, 'level.bmp');
  if (converts) expectSameBytes((await saved('save-land')).bytes, converted.file('land.dat'), 'land.dat');
  await checkPreview(name, bytes, previewWords);
}

// A file landinfo can read neither as a picture nor as a land file: its
// complaint, word for word.
async function checkUnreadable(name, bytes, previewWords = null) {
  const report = runIn({ [name]: bytes }, landinfo, name);
  expectEqual(report.status, 1, 'landinfo\'s status');
  expectEqual(await drop(name, bytes), 'unreadable', 'the page\'s state');
  const seen = await shownNow();
  expectEqual(seen.verdict, lastLine(report.err), 'landinfo\'s complaint');
  expectEqual([seen.landOffered, seen.bitmapOffered], [false, false], 'save buttons offered');
  if (previewWords !== null) await checkPreview(name, bytes, previewWords);
}

async function checkConverts(name, bytes, previewWords = null) {
  const command = runIn({ [name]: bytes }, bmp2land, name);
  expectEqual(command.status, 0, 'bmp2land\'s status');
  const report = runIn({ [name]: bytes }, landinfo, name);
  expectEqual(await drop(name, bytes), 'converts', 'the page\'s state');
  const seen = await shownNow();
  expectEqual(seen.verdict, lastLine(command.out), 'the verdict line');
  expectEqual(seen.report, report.out, 'landinfo\'s report');
  expectEqual(seen.advice, labelled(report.out, 'warning'), 'what to do: landinfo\'s warnings');
  checkAdvice(seen, report);
  const land = await saved('save-land');
  expectEqual(land.name, 'land.dat', 'the saved land file\'s name');
  expectSameBytes(land.bytes, command.file('land.dat'), 'land.dat');
  const bitmap = await saved('save-bitmap');
  expectEqual(bitmap.name, 'level.bmp', 'the saved bitmap\'s name');
  expectSameBytes(bitmap.bytes, bytes, 'level.bmp');
  if (previewWords !== null) await checkPreview(name, bytes, previewWords);
  return seen;
}

const screenshot = path.join(outDir, 'web_page_after_drop.png');

// One row a case.
const cases = [
  { name: 'before a file, the page shows the picture\'s place and no empty picture',
    run: () => expectNoPicture('before a file') },
  { name: 'the example converts to bmp2land\'s land.dat, level.bmp is saved back, and the ' +
          'preview is landinfo\'s',
    run: () => checkConverts('level.bmp', example, '30 objects, each ringed and numbered') },
  { name: 'an RLE8 level converts to bmp2land\'s land.dat',
    run: async () => {
      // Every row of the example as RLE8 absolute runs of 240 pixels.
      const data = [];
      for (let row = 0; row < 696; ++row) {
        for (let x = 0; x < 1920; x += 240) {
          data.push(0, 240, ...example.subarray(kPixelOffset + row * 1920 + x,
                                                kPixelOffset + row * 1920 + x + 240));
        }
        data.push(0, 0);
      }
      data.push(0, 1);
      await checkConverts('rle8.bmp', rle8(data));
    } },
  { name: 'a level with land in colours 96 to 254 converts, with landinfo\'s warning to do',
    run: async () => {
      const seen = await checkConverts('grey.bmp', changed((b) => b.fill(200, kPixelOffset, kPixelOffset + 40)));
      if (seen.advice.length !== 1) throw new Failure(`no warning shown: ${JSON.stringify(seen.advice)}`);
    } },
  { name: 'a 24-bit bitmap, whose pixels are too few for 24 bits: landinfo\'s words',
    run: () => checkNoLevel('in.bmp', changed((b) => b.writeUInt16LE(24, 28))) },
  { name: 'a 4-bit bitmap', run: () => checkRefused('in.bmp', changed((b) => b.writeUInt16LE(4, 28))) },
  { name: 'a bitmap of the wrong size',
    run: () => checkRefused('in.bmp', changed((b) => b.writeInt32LE(695, 22))) },
  { name: 'RLE4 compression', run: () => checkRefused('in.bmp', changed((b) => b.writeUInt32LE(2, 30))) },
  { name: 'corrupt RLE8 data',
    run: () => checkRefused('in.bmp', rle8([0, 2, 255, 255, 0, 2, 255, 255, 0, 2, 0, 255])) },
  { name: 'RLE8 data cut short', run: () => checkRefused('in.bmp', rle8([10, 1, 0, 0])) },
  { name: 'a bitmap whose pixels lie past the part read of a long file',
    run: () => checkRefused('long.bmp', pixelsPastReadCap()) },
  { name: 'a bitmap under 54 bytes', run: () => checkRefused('in.bmp', example.subarray(0, 40)) },
  { name: 'pixels cut short, in a file whose name is not ASCII',
    run: () => checkRefused('レベル 🎮.bmp', example.subarray(0, example.length - 1)) },
  { name: '29 objects, and the preview is landinfo\'s, which what to do points to',
    run: () => checkRefused('in.bmp', withObjects(29),
                            'In its corner, the verdict: You must have exactly 30 object positions!',
                            ['29 found', 'the preview rings and numbers those found']) },
  { name: 'the sky on entry 255, as a renumbered palette leaves it: what to do in the page\'s words',
    run: () => checkRefused('in.bmp', skyOnEntry255(), null,
                            ['the palette looks renumbered', 'drop the drawing here as the paint program saved it']) },
  { name: 'a level bitmap without sky converts, with the warning',
    run: async () => {
      const noSky = changed((b) => {
        for (let i = kPixelOffset; i < b.length; ++i) if (b[i] === 0) b[i] = 1;
      });
      const seen = await checkConverts('nosky.bmp', noSky);
      if (!seen.advice.some((line) => line.startsWith('the level has no sky'))) {
        throw new Failure(`no warning of the sky: ${JSON.stringify(seen.advice)}`);
      }
    } },
  { name: '31 objects', run: () => checkRefused('in.bmp', withObjects(31)) },
  { name: 'no objects', run: () => checkRefused('in.bmp', withObjects(0)) },
  { name: 'a PNG drawing gives landinfo\'s level.bmp, bmp2land\'s land.dat of it and the preview',
    run: () => checkDrawing('drawing.png', rgbaPng(exampleDrawing(), 1920, 696),
                            'the level made of drawing.png: 30 objects') },
  { name: 'a PNG drawing with 29 objects gives its level.bmp, but no land.dat, and says where ' +
          'to look',
    run: () => checkDrawing('drawing.png', rgbaPng(exampleDrawing(29), 1920, 696),
                            'You must have exactly 30 object positions!',
                            ['29 found', 'the preview rings and numbers those found',
                             'save level.bmp']) },
  { name: 'a PNG drawing on a white background makes a level without sky, and says so',
    run: async () => {
      await checkDrawing('white.png', rgbaPng(exampleDrawing(30, [255, 255, 255, 255]), 1920, 696),
                         'the level made of white.png: 30 objects',
                         ['the level has no sky', 'drop the drawing here again']);
      // It converts, but the headline says first that it is not done.
      const seen = await shownNow();
      expectEqual(seen.headline, 'white.png makes a level that converts, but read the warnings below',
                  'the headline');
    } },
  { name: 'a PNG of the wrong size shows landinfo\'s words',
    run: () => checkNoLevel('palette.png', fs.readFileSync(path.join(top, 'examples', 'palette.png'))) },
  { name: 'an empty file', run: () => checkUnreadable('in.bmp', Buffer.alloc(0)) },
  { name: 'a text file', run: () => checkUnreadable('notes.txt', Buffer.from('not a level\n')) },
  { name: 'a land file with a bad magic',
    run: () => checkUnreadable('land.dat', Buffer.concat([Buffer.from('X'), exampleLand.subarray(1)])) },
  { name: 'a land file cut short, previewed as far as it was read',
    run: () => checkUnreadable('land.dat', exampleLand.subarray(0, 5000),
                               'what could be read of its level, and grey stripes') },
  { name: 'a land file shows landinfo\'s summary and offers landinfo\'s export',
    run: async () => {
      const report = runIn({ 'land.dat': exampleLand }, landinfo, 'land.dat');
      const exported = runIn({ 'land.dat': exampleLand }, landinfo, 'land.dat', 'out.bmp');
      expectEqual(exported.status, 0, 'landinfo\'s export status');
      expectEqual(await drop('land.dat', exampleLand), 'land', 'the page\'s state');
      const seen = await shownNow();
      expectEqual(seen.report, report.out, 'landinfo\'s summary');
      expectEqual([seen.landOffered, seen.bitmapOffered], [false, true], 'save buttons offered');
      const bitmap = await saved('save-bitmap');
      expectEqual(bitmap.name, 'level.bmp', 'the saved bitmap\'s name');
      expectSameBytes(bitmap.bytes, exported.file('out.bmp'), 'the exported bitmap');
      await checkPreview('land.dat', exampleLand, '30 objects, each ringed and numbered');
    } },
  { name: 'the page paints its progress state before the work, and marks itself busy',
    run: async () => {
      // What each frame shows, from before the drop until the verdict.
      await page.evaluate(() => {
        const outcome = document.getElementById('outcome');
        const busyText = document.getElementById('busy-text');
        window.seenFrames = [];
        const record = () => {
          const busy = outcome.dataset.state === 'busy';
          const frame = busy ? `busy (aria-busy=${outcome.getAttribute('aria-busy')}): ` +
                               busyText.textContent : outcome.dataset.state;
          if (window.seenFrames.at(-1) !== frame) window.seenFrames.push(frame);
          if (!busy && window.seenFrames.length > 1) return;
          requestAnimationFrame(record);
        };
        requestAnimationFrame(record);
      });
      const before = await page.evaluate(() => document.getElementById('outcome').dataset.state);
      expectEqual(await drop('level.bmp', example), 'converts', 'the page\'s state');
      await page.waitForFunction(() => window.seenFrames.at(-1) === 'converts');
      const frames = (await page.evaluate(() => window.seenFrames)).filter((f) => f !== before);
      expectEqual(frames.slice(-2),
                  ['busy (aria-busy=true): Checking level.bmp…', 'converts'],
                  'the last two frames');
    } },
  { name: 'the keyboard alone reaches the file chooser and the save button',
    run: async () => {
      for (const key of ['Enter', ' ']) {
        await page.close();
        page = await openPage();
        await page.keyboard.press('Tab');
        const focused = await page.evaluate(() => document.activeElement.id);
        expectEqual(focused, 'choose', 'the first Tab stop');
        const choosing = nextChooser();
        await page.keyboard.press(key === ' ' ? 'Space' : key);
        const chooser = await choosing;
        const shown = page.evaluate(() => new Promise((resolve) =>
          document.addEventListener('bmp2land:shown', (e) => resolve(e.detail), { once: true })));
        await chooser.setFiles(path.join(top, 'examples', 'level.bmp'));
        expectEqual(await shown, 'converts', `the page's state after ${JSON.stringify(key)}`);
        await page.keyboard.press('Tab');
        expectEqual(await page.evaluate(() => document.activeElement.id), 'save-land',
                    'the Tab stop after the file button');
        const land = await saved('save-land', key === ' ' ? 'Space' : key);
        expectSameBytes(land.bytes, exampleLand, 'land.dat saved with the keyboard');
      }
    } },
  { name: 'where the browser gives no more memory, the page says so, and the next file converts',
    run: async () => {
      await page.close();
      // The module's malloc answers 0, as where memory can grow no further,
      // for as long as window.memoryRefused is set.
      page = await openPage(() => {
        let factory;
        Object.defineProperty(window, 'createPageModule', {
          configurable: true,
          set: (f) => { factory = f; },
          get: () => () => factory().then((m) => {
            let malloc = m._malloc;  // replaced by the module on its first call
            Object.defineProperty(m, '_malloc', {
              configurable: true,
              get: () => (n) => (window.memoryRefused ? 0 : malloc(n)),
              set: (f) => { malloc = f; },
            });
            return m;
          }),
        });
      });
      await page.evaluate(() => { window.memoryRefused = true; });
      expectEqual(await drop('level.bmp', example), 'failed', 'the page\'s state without memory');
      const seen = await shownNow();
      if (!seen.verdict.includes('not enough memory')) {
        throw new Failure(`the words without memory: "${seen.verdict}"`);
      }
      expectEqual([seen.landOffered, seen.bitmapOffered], [false, false], 'save buttons offered');
      await page.evaluate(() => { window.memoryRefused = false; });
      expectEqual(await drop('level.bmp', example), 'converts', 'the page\'s state then');
      expectSameBytes((await saved('save-land')).bytes, exampleLand, 'land.dat then');
    } },
  { name: 'a folder dropped: the page says that it could not read it, and what to drop',
    run: async () => {
      // A folder dragged from the desktop arrives as a File that cannot be read.
      const shown = await page.evaluate(() => {
        const folder = new File([], 'levels');
        folder.slice = () => ({
          arrayBuffer: () => Promise.reject(new DOMException(
            'A requested file or directory could not be found', 'NotFoundError')),
        });
        const event = new Event('drop', { bubbles: true, cancelable: true });
        Object.defineProperty(event, 'dataTransfer', { value: { files: [folder], types: ['Files'] } });
        const done = new Promise((resolve) =>
          document.addEventListener('bmp2land:shown', (e) => resolve(e.detail), { once: true }));
        document.querySelector('main').dispatchEvent(event);
        return done;
      });
      expectEqual(shown, 'failed', 'the page\'s state');
      const seen = await shownNow();
      expectEqual(seen.advice.length, 1, 'what to do');
      if (!seen.advice[0].includes('rather than a folder')) {
        throw new Failure(`what to do: "${seen.advice[0]}"`);
      }
      expectEqual([seen.landOffered, seen.bitmapOffered], [false, false], 'save buttons offered');
      await expectNoPicture('after a folder');
    } },
  { name: 'the page converts with the network off, and leaves a screenshot',
    run: async () => {
      await context.setOffline(true);
      await page.reload();
      expectEqual(await drop('level.bmp', example), 'converts', 'the page\'s state offline');
      expectSameBytes((await saved('save-land')).bytes, exampleLand, 'land.dat offline');
      await context.setOffline(false);
      // The screenshot shows the preview, drawn and scaled to the window.
      await previewDrawn();
      const picture = await page.evaluate(() => {
        const img = document.getElementById('preview');
        return { hidden: img.hidden, width: img.naturalWidth, shownWidth: img.clientWidth };
      });
      if (picture.hidden || picture.width !== 1920 || picture.shownWidth > 1280) {
        throw new Failure(`the preview shown: ${JSON.stringify(picture)}`);
      }
      fs.mkdirSync(outDir, { recursive: true });
      await page.screenshot({ path: screenshot, fullPage: true });
      if (fs.statSync(screenshot).size === 0) throw new Failure('the screenshot is empty');
    } },
  { name: 'nothing leaves the computer: every request is the page\'s own',
    run: async () => {
      const foreign = requests.filter((url) => !/^(file|blob|data):/.test(url));
      expectEqual(foreign, [], 'requests to anywhere else');
    } },
  { name: 'no script errors', run: async () => expectEqual(pageErrors, [], 'errors in the page') },
];

let failed = 0;
for (const c of cases) {
  try {
    await c.run();
    console.log(`ok      ${c.name}`);
  } catch (error) {
    failed += 1;
    console.log(`FAILED  ${c.name}\n        ${error instanceof Failure ? error.message : error.stack}`);
  }
}
await context.close();
fs.rmSync(scratch, { recursive: true, force: true });
fs.rmSync(profile, { recursive: true, force: true });
console.log(`\nscreenshot: ${screenshot}`);
console.log(`${cases.length - failed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
