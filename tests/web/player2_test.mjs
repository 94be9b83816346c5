// One person against the computer, in one browser engine, with real keys:
// the page's "Player 2" control hands player 2 to the computer, which bats
// against the person's pitches and, after the side switch, pitches to them.
// In Chromium the whole way: a whole half against the computer's bat, a hit
// off its pitch, and the computer stopping when a person takes over.
// Usage: node player2_test.mjs chromium|firefox|webkit SITE_DIR
import {openTab} from './browsers.mjs';
import {checker, place, watchCall} from './checks.mjs';
import {serve} from '../../app/web/server/serve.mjs';

const [engine, site] = process.argv.slice(2);
const {ok, fail, check, done} = checker(engine);
const server = await serve(site);
const origin = `http://127.0.0.1:${server.address().port}`;
const tab = await openTab(engine, {width: 900, height: 700});
process.on('exit', () => server.close());

const waitFor = async (test, what, timeout = 3000) => (await tab.poll(test, timeout)) || fail(`timed out waiting until ${what}`);
const choice = () => tab.evaluate(() => document.querySelector('#player2 select').value);
// The control by keyboard: focused, then moved through its choices.
async function choose(steps) {
  await tab.evaluate(() => document.querySelector('#player2 select').focus());
  for (let i = 0; i < Math.abs(steps); ++i) await tab.key(steps > 0 ? 'ArrowDown' : 'ArrowUp');
}
// A hit view is closed by a click once its ball has landed, unless the
// landing has opened the box over it.
async function closeHitView() {
  const at = await place(tab, 'hit');
  if (!at) return;
  await waitFor(() => window.landed, 'the hit landed', 5000);
  if (await tab.evaluate(() => !!document.querySelector('dialog[open]'))) return;
  await tab.click(at.x + 150 * at.fit, at.y + 300 * at.fit);
  await waitFor(() => document.querySelectorAll('.window:not([hidden])').length === 1, 'a click closed the hit view');
}
// One pitch of keypad 8 from the person, settled: called, or hit and closed.
async function pitchEight() {
  await tab.evaluate(() => { Object.assign(window, {batOut: false, ballLeft: false, ballLeftAt: 0, landed: false, hitDrawnAt: 0}); });
  await tab.key('Numpad8');
  await waitFor(() => window.ballLeft, 'the person\'s 8 threw the pitch', 1000);
  await waitFor(() => window.callShown || document.querySelectorAll('.window:not([hidden])').length > 1 ||
                      document.querySelector('dialog[open]'), 'the pitch was settled');
  const seen = await tab.evaluate(() => ({swung: window.batOut, called: window.callShown}));
  if (!seen.called) await closeHitView();
  return {...seen, box: await tab.evaluate(() => !!document.querySelector('dialog[open]'))};
}

try {
  await tab.goto(`${origin}/`);
  (await tab.poll(() => performance.getEntriesByName('diamond-first-frame').length > 0, 10000)) ||
    fail('the game was not drawn');
  await watchCall(tab);
  // A hit has landed once the hit view shows its distance in feet and the
  // view is drawn no more: its flight takes 200 ticks, about 3.1 s.
  await tab.evaluate(() => {
    const {fillText} = CanvasRenderingContext2D.prototype;
    window.hitDrawnAt = 0;  // the last text drawn outside the pitch screen since it was cleared
    CanvasRenderingContext2D.prototype.fillText = function (text, ...rest) {
      if (this.canvas !== document.querySelector('canvas')) window.hitDrawnAt = performance.now();
      return fillText.call(this, text, ...rest);
    };
    setInterval(() => { window.landed = window.hitDrawnAt && performance.now() - window.hitDrawnAt > 300; }, 50);
  });
  check(await choice() === 'person', 'player 2 is not a person at the start');
  await choose(2);
  check(await choice() === 'normal', `two steps down the control chose "${await choice()}"`);

  // The computer bats against the person's 8s: it swings, and the pitch is
  // called or hit.
  let swung = false, box = false, pitches = 0;
  while (!swung && pitches < 6) {
    ({swung, box} = await pitchEight());
    pitches += 1;
  }
  check(swung, `the computer did not swing at ${pitches} straight pitches`);
  ok(`"Computer: normal", chosen by keyboard, swung at the person's 8 (pitch ${pitches}) and the pitch was settled`);

  // On to the side switch: in Chromium against the computer's bat, in the
  // others by a person who lets every pitch go.
  if (engine !== 'chromium') await choose(-2);
  while (!box && pitches < 80) {
    ({box} = await pitchEight());
    pitches += 1;
  }
  check(box, `${pitches} pitches did not switch the sides`);
  // The computer waits for the person to dismiss the box, and to close a
  // hit view the switch left open; its pause is timed from the later.
  await tab.evaluate(() => {
    window.freedAt = 0;
    const stamp = (e) => { window.freedAt = e.timeStamp; };
    addEventListener('keydown', (e) => e.key === 'Enter' && stamp(e), true);
    addEventListener('pointerup', stamp, true);
    Object.assign(window, {ballLeft: false, ballLeftAt: 0});
  });
  await tab.key('Enter');
  await waitFor(() => !document.querySelector('dialog[open]'), 'Enter closed the box', 1000);
  await closeHitView();
  if (engine !== 'chromium') await choose(2);
  await waitFor(() => window.ballLeft, 'the computer pitched', 4500);
  const after = await tab.evaluate(() => (window.ballLeftAt - window.freedAt) / 1000);
  check(after > 0 && after < 4, `the computer pitched ${after.toFixed(2)} s after the box was dismissed`);
  ok(`${pitches} pitches switched the sides; the computer pitched ${after.toFixed(2)} s after the box closed`);

  if (engine === 'chromium') {
    // The person's Space meets the computer's pitches: a normal swing a
    // quarter of a second after the ball leaves the mound.
    let hit = false;
    for (let tries = 0; !hit && tries < 8; ++tries) {
      await waitFor(() => window.ballLeft, 'the computer pitched again', 4500);
      await tab.sleep(250);
      await tab.key('Space');
      await waitFor(() => window.callShown || document.querySelectorAll('.window:not([hidden])').length > 1,
                    'the computer\'s pitch was settled');
      hit = !(await tab.evaluate(() => window.callShown));
      await tab.evaluate(() => { Object.assign(window, {ballLeft: false, ballLeftAt: 0, landed: false, hitDrawnAt: 0}); });
    }
    check(hit, 'the person\'s Space did not hit any of eight pitches from the computer');
    // A person takes player 2 back: the computer pitches no more.
    await choose(-2);
    check(await choice() === 'person', `two steps up the control chose "${await choice()}"`);
    await closeHitView();
    await tab.evaluate(() => { Object.assign(window, {ballLeft: false}); });
    await tab.sleep(4000);
    check(await tab.evaluate(() => !window.ballLeft), 'the computer pitched after a person took player 2 back');
    ok('the person\'s Space hit the computer\'s pitch, and with "Person" chosen again nothing pitched for 4 s');
  }
  // "Friend on another device" where it cannot be: this WebKit has no
  // WebRTC, and Chromium is taken offline. The page says why and keeps its
  // choice.
  if (engine !== 'firefox') {
    if (engine === 'chromium') await tab.page.context().setOffline(true);
    const before = await choice();
    await tab.evaluate(() => {
      const select = document.querySelector('#player2 select');
      select.value = 'friend';
      select.dispatchEvent(new Event('change'));
    });
    const said = await tab.evaluate(() => document.getElementById('friend-status')?.textContent);
    const expected = engine === 'webkit' ? 'Playing on two screens needs a browser with WebRTC.'
                                         : 'Playing with a friend on another device needs a network.';
    check(said === expected && await choice() === before, `"Friend" said "${said}" and left "${await choice()}" chosen`);
    ok(`"Friend on another device" ${engine === 'webkit' ? 'without WebRTC' : 'offline'} said "${said}"`);
  }
  check(!tab.messages.length, `the page reported ${tab.messages.join('; ')}`);
} finally {
  await tab.close();
}
done();
