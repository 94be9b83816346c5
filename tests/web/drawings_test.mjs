// The browser draws what the desktop draws: the staged forms drawn in each
// engine through the page's canvas 2D, compared with the desktop's offscreen
// drawing of the same states at one and two device pixels per pixel.
// The site's own first frame is compared too, so a game that draws in
// another font fails.
// Usage: node drawings_test.mjs DRAWINGS_FOLDER DESKTOP_DRAWINGS_PROGRAM SITE
// A failing run leaves both drawings and a map of the differences (yellow
// smoothed, red wrong) in a folder it names.
import {spawnSync} from 'node:child_process';
import {mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

import {openTab} from './browsers.mjs';
import {checker} from './checks.mjs';
import {judgeDrawing} from './compare_drawings.mjs';
import {decodePng} from './png.mjs';
import {serve} from '../../app/web/server/serve.mjs';

const ENGINES = ['chromium', 'firefox', 'webkit'];
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

let faults = 0;
// Compares one window's drawing with the desktop's of the same state.
function compareWindow(engine, name, state, scale, png) {
  const browser = decodePng(Buffer.from(png.split(',')[1], 'base64'));
  if (!judgeDrawing(browser, desktop, state, scale, name, CAPTIONS[engine], desktop, ok)) ++faults;
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
