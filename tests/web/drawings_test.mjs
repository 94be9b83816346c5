// The browser draws what the desktop draws: the staged forms drawn in each
// engine through the page's canvas 2D, compared with the desktop's offscreen
// drawing of the same states at one and two device pixels per pixel.
// The site's own first frame is compared too, so a game that draws in
// another font fails.
// Usage: node drawings_test.mjs DRAWINGS_FOLDER DESKTOP_DRAWINGS_PROGRAM SITE
// A failing run leaves both drawings and a map of the differences (yellow
// smoothed, red wrong) in a folder it names.
import {spawnSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

import {openTab} from './browsers.mjs';
import {checker} from './checks.mjs';
import {decodePng, encodePng} from './png.mjs';
import {serve} from './serve.mjs';

const ENGINES = ['chromium', 'firefox', 'webkit'];
// Channel steps that are no difference at all.
const TOLERANCE = 24;
// Outside the captions: differing pixels that canvas may smooth, at most
// this share of the pixels near the desktop's curved edges, and wrong ones
// at most this many per window.
const SMOOTHED_SHARE = 0.35;
const WRONG = 8;
// A caption's ink against the desktop's: its amount within this share, its
// centre within this many device pixels, and its left and right ends
// within this many. WebKit rasterises text heavier and a little wider than
// the desktop (a third more ink, white on black), so there only where the
// ink lies is compared.
const CAPTIONS = {
  chromium: {ink: 0.2, centre: 0.6, ends: 1.5},
  firefox: {ink: 0.2, centre: 0.6, ends: 1.5},
  webkit: {ink: Infinity, centre: 1, ends: 1.5},
};

const {ok, fail, skip, done} = checker('the drawing comparison');
const [folder, desktopProgram, site] = process.argv.slice(2);
const desktop = mkdtempSync(join(tmpdir(), 'diamond-drawings-'));
if (spawnSync(desktopProgram, [desktop], {stdio: 'ignore'}).status !== 0)
  fail(`${desktopProgram} drew nothing: build the desktop preset first`);
const server = await serve(folder);
const url = `http://127.0.0.1:${server.address().port}/drawings.html`;
const siteServer = await serve(site);
const siteUrl = `http://127.0.0.1:${siteServer.address().port}/`;

const rgb = (value) => [value >> 16 & 255, value >> 8 & 255, value & 255];
const near = (a, b) => a.every((v, i) => Math.abs(v - b[i]) <= TOLERANCE);

// How much of the ink each device pixel of a caption's box shows, 0 to 1,
// over the colour most of the box has on the desktop.
function inkOf(image, box, ink, paper, scale) {
  const [x0, y0, w, h] = box.map((v) => v * scale);
  const span = ink.map((v, i) => v - paper[i]);
  const norm = span.reduce((sum, v) => sum + v * v, 0) || 1;
  let amount = 0, sumX = 0, sumY = 0, left = Infinity, right = -Infinity;
  for (let y = y0; y < y0 + h; ++y)
    for (let x = x0; x < x0 + w; ++x) {
      const c = image.rgb(x, y);
      const share = Math.min(1, Math.max(0, c.reduce((sum, v, i) => sum + (v - paper[i]) * span[i], 0) / norm));
      amount += share;
      sumX += share * x;
      sumY += share * y;
      if (share > 0.5) {
        left = Math.min(left, x);
        right = Math.max(right, x);
      }
    }
  return {amount, x: sumX / amount, y: sumY / amount, left, right};
}

function paperOf(image, box, scale) {
  const counts = new Map();
  const [x0, y0, w, h] = box.map((v) => v * scale);
  for (let y = y0; y < y0 + h; ++y)
    for (let x = x0; x < x0 + w; ++x) {
      const key = image.rgb(x, y).join();
      counts.set(key, (counts.get(key) || 0) + 1);
    }
  return [...counts].sort((a, b) => b[1] - a[1])[0][0].split(',').map(Number);
}

// Captions: the browser's ink against the desktop's, one caption at a time.
function compareCaptions(browser, desktopImage, captions, scale, limits) {
  const faults = [];
  for (const [x, y, w, h, ink] of captions) {
    const paper = paperOf(desktopImage, [x, y, w, h], scale);
    const want = inkOf(desktopImage, [x, y, w, h], rgb(ink), paper, scale);
    const got = inkOf(browser, [x, y, w, h], rgb(ink), paper, scale);
    const where = `the caption at ${x},${y}`;
    if (Math.abs(got.amount / want.amount - 1) > limits.ink)
      faults.push(`${where} has ${got.amount.toFixed(0)} pixels' worth of ink, the desktop's ${want.amount.toFixed(0)}`);
    else if (Math.hypot(got.x - want.x, got.y - want.y) > limits.centre * scale)
      faults.push(`${where} is centred at ${got.x.toFixed(1)},${got.y.toFixed(1)}, the desktop's at ` +
                  `${want.x.toFixed(1)},${want.y.toFixed(1)}`);
    else if (Math.abs(got.left - want.left) > limits.ends * scale || Math.abs(got.right - want.right) > limits.ends * scale)
      faults.push(`${where} runs from ${got.left} to ${got.right}, the desktop's from ${want.left} to ${want.right}`);
  }
  return faults;
}

// Everything else, pixel by pixel. Where the desktop draws a curved or
// slanting edge, canvas smooths it: a differing pixel there is smoothed when
// the browser's colour lies within the colours the desktop has within one
// client pixel and one device pixel of it; anywhere else a differing pixel is
// wrong.
function comparePixels(browser, desktopImage, {captions, curves}, scale) {
  const {width, height} = desktopImage;
  const marks = Buffer.alloc(width * height);  // 1 smoothed, 2 wrong
  const inside = (boxes, x, y) => boxes.some(([bx, by, bw, bh]) =>
    x >= bx * scale && x < (bx + bw) * scale && y >= by * scale && y < (by + bh) * scale);
  const reach = 1 + scale;
  let edges = 0, smoothed = 0, wrong = 0;
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x) {
      if (inside(captions, x, y)) continue;
      const d = desktopImage.rgb(x, y), b = browser.rgb(x, y);
      const curved = inside(curves, x, y);
      let edge = false;
      const low = [...d], high = [...d];
      if (curved) {
        for (let dy = -reach; dy <= reach; ++dy)
          for (let dx = -reach; dx <= reach; ++dx) {
            if (x + dx < 0 || y + dy < 0 || x + dx >= width || y + dy >= height) continue;
            desktopImage.rgb(x + dx, y + dy).forEach((v, i) => {
              low[i] = Math.min(low[i], v);
              high[i] = Math.max(high[i], v);
            });
          }
        edge = low.some((v, i) => v !== high[i]);
        if (edge) ++edges;
      }
      if (near(b, d)) continue;
      if (edge && b.every((v, i) => v >= low[i] - TOLERANCE && v <= high[i] + TOLERANCE)) {
        ++smoothed;
        marks[y * width + x] = 1;
      } else {
        ++wrong;
        marks[y * width + x] = 2;
      }
    }
  return {edges, smoothed, wrong, marks};
}

function leave(name, browser, desktopImage, marks) {
  const {width, height} = desktopImage;
  const map = Buffer.alloc(width * height * 3), own = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x) {
      const at = y * width + x;
      const colour = marks[at] === 2 ? [255, 0, 0] : marks[at] === 1 ? [255, 255, 0]
                                                   : desktopImage.rgb(x, y).map((v) => v >> 2);
      map.set(colour, at * 3);
      own.set(browser.rgb(x, y), at * 3);
    }
  writeFileSync(join(desktop, `${name}-differences.png`), encodePng(width, height, map));
  writeFileSync(join(desktop, `${name}-browser.png`), encodePng(width, height, own));
}

let faults = 0;
// Compares one window's drawing with the desktop's of the same state.
function compareWindow(engine, name, state, scale, png) {
  const browser = decodePng(Buffer.from(png.split(',')[1], 'base64'));
  const desktopImage = decodePng(readFileSync(join(desktop, `${state}@${scale}.png`)));
  const parts = JSON.parse(readFileSync(join(desktop, `${state}.json`), 'utf8'));
  const {captions} = parts;
  if (browser.width !== desktopImage.width || browser.height !== desktopImage.height)
    fail(`${name} is ${browser.width}x${browser.height}, the desktop's ${desktopImage.width}x${desktopImage.height}`);
  const problems = compareCaptions(browser, desktopImage, captions, scale, CAPTIONS[engine]);
  const {edges, smoothed, wrong, marks} = comparePixels(browser, desktopImage, parts, scale);
  if (smoothed > SMOOTHED_SHARE * edges)
    problems.push(`${smoothed} pixels differ near curves, more than ${SMOOTHED_SHARE} of the ${edges} there`);
  if (wrong > WRONG) problems.push(`${wrong} pixels differ away from curves or beyond the colours there`);
  const figures = `${captions.length} captions alike; elsewhere ${smoothed} of ${edges} pixels near curves ` +
                  `smoothed, ${wrong} wrong`;
  if (problems.length === 0) {
    ok(`${name}: ${figures}`);
    return;
  }
  leave(name, browser, desktopImage, marks);
  console.log(`FAIL in ${name}: ${problems.join('; ')} (drawings in ${desktop})`);
  ++faults;
}

for (const engine of ENGINES) {
  for (const scale of [1, 2]) {
    if (engine === 'webkit' && scale !== 1) {
      skip('WebKit at device scale 2', 'WebKitWebDriver cannot set the device pixel ratio');
      continue;
    }
    const tab = await openTab(engine, {width: 1000, height: 800, scale});
    await tab.goto(url);
    if (!(await tab.poll('() => window.drawn', 20000))) fail(`${engine} drew nothing`);
    const drawn = await tab.evaluate(() => window.drawn.map(({id, state}) =>
      ({state, png: document.querySelectorAll('#desk canvas')[id - 1].toDataURL('image/png')})));
    for (const {state, png} of drawn) compareWindow(engine, `${engine}-${state}@${scale}`, state, scale, png);
    if (scale === 1) {
      // The site itself: its first frame is the pitch screen at start.
      await tab.goto(siteUrl);
      const first = "() => performance.getEntriesByName('diamond-first-frame').length > 0";
      if (!(await tab.poll(first, 20000))) fail(`the site drew nothing in ${engine}`);
      const png = await tab.evaluate(() => document.querySelector('#desk canvas').toDataURL('image/png'));
      compareWindow(engine, `${engine}-site-start@1`, 'pitch-start', 1, png);
    }
    await tab.close();
  }
}
skip("WebKit's caption ink", 'WebKit draws text heavier than the desktop; only where it lies is compared');
server.close();
siteServer.close();
if (faults) process.exit(1);
rmSync(desktop, {recursive: true, force: true});
done();
