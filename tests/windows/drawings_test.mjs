// GDI draws what the desktop draws: each staged form as the Windows
// platform drew it under Wine, against the desktop's drawing of the state.
// Usage: node drawings_test.mjs WINDOWS_FOLDER DESKTOP_FOLDER
// A failing run leaves a map of the differences beside the drawings.
import {readFileSync, readdirSync} from 'node:fs';
import {join} from 'node:path';

import {checker} from '../web/checks.mjs';
import {judgeDrawing} from '../web/compare_drawings.mjs';

// GDI places each glyph at a whole pixel, where the desktop keeps fractions,
// so a caption may lie up to a pixel off; and Wine's rasteriser gives the
// smallest captions lighter ink (a third less at 8 points) and a heavy one
// a quarter more. A wrong face or weight changes a caption's width by more
// than its ends allow.
const CAPTIONS = {ink: 0.4, centre: 1.1, ends: 1.5};

const {ok, fail, done} = checker('the Windows drawing comparison');
const [windows, desktop] = process.argv.slice(2);

function decodePpm(buffer) {
  const [, width, height] = buffer.toString('latin1', 0, 32).match(/^P6\s+(\d+)\s+(\d+)\s+255\s/).map(Number);
  const start = buffer.length - width * height * 3;
  const rgb = (x, y) => [...buffer.subarray(start + (y * width + x) * 3, start + (y * width + x) * 3 + 3)];
  return {width, height, rgb};
}

const drawings = readdirSync(windows).filter((name) => name.endsWith('.ppm'));
if (drawings.length !== 10) fail(`GDI drew ${drawings.length} drawings, not 10`);
let faults = 0;
for (const file of drawings.sort()) {
  const [, state, scale] = file.match(/^(.*)@(\d)\.ppm$/);
  const got = decodePpm(readFileSync(join(windows, file)));
  if (!judgeDrawing(got, desktop, state, Number(scale), `windows-${state}@${scale}`, CAPTIONS, windows, ok)) ++faults;
}
if (faults) process.exit(1);
done();
