// Two screens in two real browsers over real WebRTC, through the signalling
// server beside the site: the host in Chromium invites, the friend opens the
// link in the given engine, or on a tablet (Chromium's mobile emulation, by
// taps on the on-screen pads; at a device pixel ratio of 1, so that its
// pixels compare one for one). The friend pitches and the host bats, through a side
// switch's box and a hit; both screens' drawings are compared pixel for
// pixel whenever the game rests. A third page is refused, the friend's and
// then the host's reload rejoin the same game, and the friend's closed tab
// is noticed on the host's screen.
// Usage: node friend_test.mjs chromium|firefox|tablet SITE_DIR
import {execFileSync} from 'node:child_process';
import {rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';

import {openTab} from './browsers.mjs';
import {checker, watchCall} from './checks.mjs';
import {TOLERANCE} from './compare_drawings.mjs';
import {serve} from '../../app/web/server/serve.mjs';

const [engine, site] = process.argv.slice(2);
// The share of pixels two engines may smooth differently.
const ENGINES_DIFFER = 0.002;
const {ok, fail, check, done} = checker(`chromium with ${engine}`);
const server = await serve(site);
const origin = `http://127.0.0.1:${server.address().port}`;
process.on('exit', () => server.close());

// No ICE server: the pages find each other on this machine alone. Each page
// notes when it is first told the round trip: it has caught up with the
// game and is playing.
function init() {
  window.FriendIceServers = [];
  addEventListener('DOMContentLoaded', () => new MutationObserver(() => {
    const line = document.getElementById('friend-status');
    if (line && /^Connected:/.test(line.textContent) && !window.playingAt) window.playingAt = performance.now();
  }).observe(document.body, {subtree: true, childList: true, characterData: true}));
}
const options = {width: 900, height: 700, init,
                 args: ['--allow-loopback-in-peer-connection', '--use-fake-ui-for-media-stream'],
                 prefs: {'media.peerconnection.ice.obfuscate_host_addresses': false}};
const host = await openTab('chromium', options);
const touch = engine === 'tablet';
const friend = await openTab(touch ? 'chromium' : engine,
                             touch ? {...options, width: 1180, height: 820, mobile: true} : options);
const tabs = [host, friend];

// `what` may be a function, asked only on failure.
const waitFor = async (tab, test, what, timeout = 5000) =>
  (await tab.poll(test, timeout)) || fail(`timed out waiting until ${typeof what === 'function' ? await what() : what}`);
const status = (tab) => tab.evaluate(() => document.getElementById('friend-status')?.textContent || '');
const connected = (tab, what) => waitFor(tab, () => /^Connected/.test(document.getElementById('friend-status')?.textContent),
                                         what, 10000);
const shown = (tab) => tab.evaluate(() => document.querySelectorAll('.window:not([hidden])').length);

// Every shown window's pixels, RGBA, in the order the page stacks them.
const drawing = (tab) => tab.evaluate(() => Array.from(document.querySelectorAll('.window:not([hidden]) canvas'), (c) => {
  const data = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let text = '';
  for (let i = 0; i < data.length; i += 8192) text += String.fromCharCode.apply(null, data.subarray(i, i + 8192));
  return {width: c.width, height: c.height, pixels: btoa(text)};
}));
// Pixels that differ by more than a channel step of TOLERANCE: none between
// two pages of one engine; between engines, only where each smooths the
// edges of text and curves its own way.
async function sameDrawing(when, [one, other] = [host, friend]) {
  for (const tab of [one, other])
    check(!/disagreed|ended/.test(await status(tab)), `${when}, a screen read "${await status(tab)}"`);
  const [a, b] = [await drawing(one), await drawing(other)];
  let differ = 0, all = 0;
  const sizes = (d) => d.map((w) => `${w.width}x${w.height}`).join(' ');
  if (sizes(a) !== sizes(b)) return fail(`${when}, the host shows ${sizes(a)} and the friend ${sizes(b)}`);
  a.forEach((w, i) => {
    const p = Buffer.from(w.pixels, 'base64'), q = Buffer.from(b[i].pixels, 'base64');
    for (let j = 0; j < p.length; j += 4) {
      all += 1;
      if ([0, 1, 2].some((c) => Math.abs(p[j + c] - q[j + c]) > TOLERANCE)) differ += 1;
    }
  });
  const allowed = engine !== 'firefox' ? 0 : Math.floor(all * ENGINES_DIFFER);
  if (differ > allowed) {
    writeFileSync('friend-host.png', await one.png());
    writeFileSync('friend-friend.png', await other.png());
    fail(`${when}, ${differ} of ${all} pixels differ between the screens, more than ${allowed} (friend-*.png)`);
  }
  ok(`${when}, the screens' ${sizes(a)} differ in ${differ} of ${all} pixels`);
}
// What a scanner reads from the page's QR code: its modules drawn at 4
// pixels each, and read by zbarimg.
function scan({box, path}) {
  const size = Number(box.split(' ')[2]), scale = 4, dark = new Set();
  for (const [, x, y] of path.matchAll(/M(\d+) (\d+)/g)) dark.add(`${x},${y}`);
  const rows = [];
  for (let y = 0; y < size * scale; ++y) {
    const row = [];
    for (let x = 0; x < size * scale; ++x) row.push(dark.has(`${Math.floor(x / scale)},${Math.floor(y / scale)}`) ? 0 : 1);
    rows.push(row.join(' '));
  }
  const file = join(tmpdir(), `diamond-qr-${process.pid}.pgm`);
  writeFileSync(file, `P2\n${size * scale} ${size * scale}\n1\n${rows.join('\n')}\n`);
  try {
    return execFileSync('zbarimg', ['-q', '--raw', file], {encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore']}).trim();
  } finally {
    rmSync(file);
  }
}

// The friend's presses: keys, or on the tablet taps on what the key is.
const TAPPED = {Numpad8: '#pitcher button[data-key="8"]', Enter: 'dialog[open] button'};
async function press(name) {
  if (!touch) return friend.key(name);
  const at = await friend.evaluate((selector) => {
    const r = document.querySelector(selector).getBoundingClientRect();
    return {x: r.x + r.width / 2, y: r.y + r.height / 2};
  }, TAPPED[name]);
  await friend.tap(at.x, at.y);
}
// Which of the friend's pads are hidden: the other player's.
const hiddenPads = () => friend.evaluate(() => ['pitcher', 'batter'].filter(
  (id) => getComputedStyle(document.getElementById(id)).visibility === 'hidden').join(' ') || 'none');

// A pitch seen leaving the mound on both screens, then settled on both.
const resetWatch = (tab) => tab.evaluate(() => Object.assign(window, {ballLeft: false, batOut: false}));
async function settled(what) {
  for (const tab of tabs)
    await waitFor(tab, () => window.callShown || document.querySelectorAll('.window:not([hidden])').length > 1 ||
                             document.querySelector('dialog[open]'),
                  async () => `${what} was settled on the ${tab === host ? 'host' : 'friend'}'s screen (statuses: ` +
                    `"${await status(host)}", "${await status(friend)}"; ball left ` +
                    `${await host.evaluate(() => window.ballLeft)}, ${await friend.evaluate(() => window.ballLeft)})`);
}

try {
  await host.goto(`${origin}/`);
  await waitFor(host, () => performance.getEntriesByName('diamond-first-frame').length > 0, 'the game was drawn', 10000);
  // The choice makes this page the host's: it loads again.
  await Promise.all([host.page.waitForEvent('load'), host.page.selectOption('#player2-choice', 'friend')]);
  await waitFor(host, () => document.getElementById('invite-link')?.value.includes('#join='), 'the invitation showed');
  const invitation = await host.evaluate(() => ({
    link: document.getElementById('invite-link').value,
    label: document.querySelector('label[for="invite-link"]').textContent,
    qr: document.querySelector('#invite svg[role="img"]')?.getAttribute('aria-label'),
    role: document.getElementById('friend-status').getAttribute('role'),
  }));
  check(invitation.label === 'Invitation link' && invitation.qr === 'QR code of the invitation link' &&
        invitation.role === 'status', `the invitation is not as labelled: ${JSON.stringify(invitation)}`);
  check(await status(host) === 'Waiting for your friend…', `the host's status read "${await status(host)}"`);
  const scanned = scan(await host.evaluate(() => ({
    box: document.querySelector('#invite svg').getAttribute('viewBox'),
    path: document.querySelector('#invite svg path').getAttribute('d')})));
  check(scanned === invitation.link, `the QR code reads "${scanned}"`);
  ok(`"Friend on another device" showed the invitation ${invitation.link}, and its QR code reads the same`);

  await friend.goto(invitation.link);
  await connected(host, 'the host was connected');
  await connected(friend, 'the friend was connected');
  await waitFor(friend, () => document.querySelector('canvas'), 'the friend\'s game was drawn');
  ok(`connected: host "${await status(host)}", friend "${await status(friend)}"`);

  const third = await openTab('chromium', options);
  await third.goto(invitation.link);
  await waitFor(third, () => /full/.test(document.getElementById('friend-status')?.textContent), 'the third page was refused');
  ok(`a third page was told "${await status(third)}"`);
  await third.close();

  for (const tab of tabs) await watchCall(tab);
  // The friend bats first: its pitch key counts on neither screen.
  if (touch) {
    check(await hiddenPads() === 'pitcher', `the batting friend's hidden pads: ${await hiddenPads()}`);
    // A hidden button is still there to be pressed by a stray tap.
    await friend.evaluate(() => document.querySelector('#pitcher button').dispatchEvent(new PointerEvent('pointerdown')));
  } else {
    await press('Numpad8');
  }
  await host.sleep(1000);
  for (const tab of tabs) check(!(await tab.evaluate(() => window.ballLeft)), `the batter's 8 pitched on the ${tab === host ? 'host' : 'friend'}'s screen`);
  // The host pitches until the sides switch; the friend lets every pitch go.
  let pitches = 0;
  while (!(await host.evaluate(() => !!document.querySelector('dialog[open]'))) && pitches < 20) {
    for (const tab of tabs) await resetWatch(tab);
    await host.key('Numpad8');
    for (const tab of tabs) await waitFor(tab, () => window.ballLeft, 'the host\'s pitch left the mound');
    await settled('the host\'s pitch');
    if (pitches === 0) await sameDrawing('after the first pitch');
    ++pitches;
  }
  await waitFor(friend, () => document.querySelector('dialog[open]'), 'the box opened on the friend\'s screen');
  ok(`${pitches} pitches from the host switched the sides on both screens`);
  await press('Enter');
  await waitFor(host, () => !document.querySelector('dialog[open]'), 'the friend\'s Enter closed the host\'s box');
  await sameDrawing('after the friend closed the box');
  if (touch) {
    await waitFor(friend, () => getComputedStyle(document.getElementById('batter')).visibility === 'hidden',
                  'the pitching friend\'s batter pad was hidden');
    ok('on the tablet, the pads of the player the friend is not are hidden: first the pitcher\'s, then the batter\'s');
  }

  // Now the friend pitches and the host swings a quarter of a second after
  // the ball leaves the mound, until it hits.
  let hit = false;
  for (let tries = 0; !hit && tries < 8; ++tries) {
    for (const tab of tabs) await resetWatch(tab);
    await press('Numpad8');
    await waitFor(host, () => window.ballLeft, 'the friend\'s pitch left the mound');
    await host.sleep(250);
    await host.key('Space');
    await settled('the friend\'s pitch');
    hit = (await shown(host)) > 1;
  }
  check(hit, 'the host hit none of eight pitches from the friend');
  for (const tab of tabs) await waitFor(tab, () => !document.querySelector('dialog[open]') && window.ballOnMound, 'at rest');
  await host.sleep(3500);  // the flight: 200 ticks
  await sameDrawing('after the host\'s hit landed');

  // The friend's page reloads and rejoins the same game; then the host's.
  for (const [tab, who] of [[friend, 'friend'], [host, 'host']]) {
    await tab.goto(who === 'host' ? invitation.link.replace('#join=', '#host=') : invitation.link);
    await waitFor(tab, () => window.playingAt, `the ${who} rejoined`, 5000);
    await waitFor(tab, () => document.querySelectorAll('.window:not([hidden])').length > 1, `the ${who} saw the hit view`);
    await host.sleep(500);
    await sameDrawing(`after the ${who} reloaded and rejoined in ${Math.round(await tab.evaluate(() => window.playingAt))} ms`);
  }
  // The friend's tab closes: the host is told, within 3 s.
  await friend.close();
  tabs.pop();
  await waitFor(host, () => /^Your friend left/.test(document.getElementById('friend-status').textContent),
                'the host was told its friend left', 3000);
  ok(`the friend's tab closed; the host read "${await status(host)}"`);
  // The test's own read-back of the canvases draws a warning of Chromium's.
  const reported = host.messages.filter((m) => !/willReadFrequently/.test(m));
  check(!reported.length, `the host's page reported ${reported.join('; ')}`);
} finally {
  for (const tab of tabs) await tab.close();
}

// Where no signalling server answers, as on a plain static host: the link
// carries the host's offer, the friend's page a reply code that the host
// pastes, and the two play one game.
if (engine !== 'tablet') {
  const staticSite = await serve(site, 0, '127.0.0.1', false);
  const pair = [await openTab('chromium', options), await openTab(engine, options)];
  const [first, second] = pair;
  try {
    await first.goto(`http://127.0.0.1:${staticSite.address().port}/#host=${'Q'.repeat(22)}`);
    await waitFor(first, () => /&offer=/.test(document.getElementById('invite-link')?.value), 'the link carried the offer');
    const link = await first.evaluate(() => document.getElementById('invite-link').value);
    await second.goto(link);
    await waitFor(second, () => document.getElementById('reply-text')?.value, 'the friend\'s page showed a reply code');
    const reply = await second.evaluate(() => document.getElementById('reply-text').value);
    await first.evaluate((code) => {
      document.getElementById('reply-code').value = code;
      [...document.querySelectorAll('#invite button')].find((b) => b.textContent === 'Connect').click();
    }, reply);
    for (const tab of pair) await connected(tab, 'the two codes connected the pages');
    for (const tab of pair) await watchCall(tab);
    await first.key('Numpad8');
    for (const tab of pair) await waitFor(tab, () => window.callShown, 'the host\'s pitch was called');
    await sameDrawing(`without a server, a link of ${link.length} characters and a reply code of ${reply.length}`, pair);
  } finally {
    for (const tab of pair) await tab.close();
    staticSite.close();
  }
}
done();
