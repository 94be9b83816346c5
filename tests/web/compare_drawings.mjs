// Compares a platform's drawing of a staged form with the desktop's of the
// same state: captions by where their ink lies, everything else pixel by
// pixel, with a canvas's smoothing allowed next to the desktop's curves.
import {readFileSync, writeFileSync} from 'node:fs';
import {join} from 'node:path';

import {decodePng, encodePng} from './png.mjs';

// Channel steps that are no difference at all.
export const TOLERANCE = 24;
// Outside the captions: differing pixels that a canvas may smooth, at most
// this share of the pixels near the desktop's curved edges, and wrong ones
// at most this many per window.
export const SMOOTHED_SHARE = 0.35;
export const WRONG = 8;

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
export function compareCaptions(browser, desktopImage, captions, scale, limits) {
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
export function comparePixels(browser, desktopImage, {captions, curves}, scale) {
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

export function leave(folder, name, browser, desktopImage, marks) {
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
  writeFileSync(join(folder, `${name}-differences.png`), encodePng(width, height, map));
  writeFileSync(join(folder, `${name}-browser.png`), encodePng(width, height, own));
}

// Everything that differs between the two drawings, and the figures.
export function compareDrawing(got, desktopImage, parts, scale, captionLimits) {
  const problems = compareCaptions(got, desktopImage, parts.captions, scale, captionLimits);
  const {edges, smoothed, wrong, marks} = comparePixels(got, desktopImage, parts, scale);
  if (smoothed > SMOOTHED_SHARE * edges)
    problems.push(`${smoothed} pixels differ near curves, more than ${SMOOTHED_SHARE} of the ${edges} there`);
  if (wrong > WRONG) problems.push(`${wrong} pixels differ away from curves or beyond the colours there`);
  const figures = `${parts.captions.length} captions alike; elsewhere ${smoothed} of ${edges} pixels near curves ` +
                  `smoothed, ${wrong} wrong`;
  return {problems, figures, marks};
}

// Compares one drawing with the desktop's drawing of the same state (the
// desktop folder holds STATE@SCALE.png and STATE.json) and says so: an ok
// line, or a FAIL line with both drawings and a map of the differences left
// in `folder`. True when they are alike.
export function judgeDrawing(got, desktop, state, scale, name, captionLimits, folder, ok) {
  const want = decodePng(readFileSync(join(desktop, `${state}@${scale}.png`)));
  const parts = JSON.parse(readFileSync(join(desktop, `${state}.json`), 'utf8'));
  if (got.width !== want.width || got.height !== want.height) {
    console.log(`FAIL in ${name}: ${got.width}x${got.height}, the desktop's ${want.width}x${want.height}`);
    return false;
  }
  const {problems, figures, marks} = compareDrawing(got, want, parts, scale, captionLimits);
  if (problems.length === 0) {
    ok(`${name}: ${figures}`);
    return true;
  }
  leave(folder, name, got, want, marks);
  console.log(`FAIL in ${name}: ${problems.join('; ')} (drawings in ${folder})`);
  return false;
}
