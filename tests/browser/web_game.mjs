// One visit to the browser build, played by ear as a player would: the details typed into the
// page's form, Enter on the focused "Start Tapdash" button, the intro heard, Ctrl to the menu, the
// About box, a game of two right answers and a wrong one judged by the side each character is
// heard from, Escape and the final score, the score sent and its place spoken; then, with the
// network cut, a reload starts the game from what the service worker kept, the top ten still
// speaks the score kept in best.dat, the browser finds the page installable, and Escape quits.
// Each start asks for persistent storage in the button's gesture. What leaves the
// page's sound graph is captured (window.tapdashCapture) and read by heard.py. The page is
// audited with axe-core before the start, in play, with the About box open and after Quit.
// Prints the start figures; exits 1 when a step fails.
import { spawn } from 'node:child_process';
import { appendFileSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { createInterface } from 'node:readline';
import { launchBrowser } from './browser.mjs';

const [base, executablePath, capturePath, tones] = process.argv.slice(2);
const axeSource = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const RATE = 48000;
const SUCCESS = 'level1\\success.vgz';
const ERROR = 'level1\\err.vgz';
const CUES = ['bgrn', 'key', 'blust', 'err', 'success'];
const SIGNS = { bslash: '\\', col: ':', com: ',', great: '>', less: '<', minus: '-', plus: '+', point: '.',
                scol: ';', slash: '/' };
const ANSWER_KEYS = { left: 'ControlLeft', centre: 'Space', right: 'Enter' };
const ANSWER_WITHIN = 0.4;  // a character is answered only this early in its play of 0.8 s
const details = { 'first-name': 'Ada', 'last-name': 'Byron', address: '12 Hill Street', country: 'UK' };

const analyser = spawn('/usr/bin/python3', [new URL('heard.py', import.meta.url).pathname, capturePath, tones],
                       { stdio: ['pipe', 'pipe', 'inherit'] });
const replies = createInterface({ input: analyser.stdout })[Symbol.asyncIterator]();
const browser = await launchBrowser(executablePath);
const page = await browser.newPage();
page.setDefaultTimeout(120000);  // a bound for a page that hangs, never a pace to keep
let frames = 0;  // of the capture so far, over both visits

// ---- what is heard ---------------------------------------------------------------------------

// The capture's end in seconds, once the page has handed over at least one more block (or at
// once, as it stands, when `more` is false).
async function listen(more = true) {
  if (more) await page.evaluate(() => window.captured.length || new Promise((wake) => { window.wakeListener = wake; }));
  const data = Buffer.from(await page.evaluate(() => window.takeCapture()), 'base64');
  appendFileSync(capturePath, data);
  frames += data.length / 4;
  return frames / RATE;
}

async function analyse(since, folder = null) {
  analyser.stdin.write(`${JSON.stringify([since, folder])}\n`);
  return JSON.parse((await replies.next()).value);
}

async function heard(since, folder = null) {
  const end = await listen();
  return { end, plays: await analyse(since, folder) };
}

const named = (file) => (play) => play.file.toLowerCase() === file.toLowerCase();
const isCharacter = (play) => play.steady && play.file.startsWith('level1\\') &&
                              !CUES.includes(play.file.slice(7, -4).toLowerCase());

// The first play from `since` on that matches, once it has lasted `minDuration` or ended.
async function waitFor(match, since, { minDuration = 0.1, folder = null, what = '' } = {}) {
  for (const deadline = Date.now() + 60000; Date.now() < deadline;) {
    const { end, plays } = await heard(Math.max(0, since - 1), folder);
    const play = plays.find((p) => p.start >= since - 0.02 && match(p) &&
                                   (p.end - p.start >= minDuration || p.end < end - 0.05));
    if (play) return play;
  }
  throw new Error(`nothing heard after ${since.toFixed(3)} s: ${what}`);
}

// The spoken pieces that follow `since`, the music and the level's sounds aside, are `files`.
let said = null;  // the last piece heard, over every call
async function says(since, ...files) {
  // A few frames of a tone where two sounds meet are their edges' spray, not a piece.
  const spoken = (p) => p.steady && p.end - p.start >= 0.06 && !p.file.endsWith('bgrn.vgz') &&
                        !p.file.startsWith('level1\\');
  for (const file of files) {
    let next = await waitFor(spoken, said && said.end > since ? said.end - 0.05 : since, { what: file });
    // A gap in the output (the browser late with a render on a busy machine) splits a play.
    while (said && next.file === said.file && next.start - said.end < 0.3) {
      said = next;
      next = await waitFor(spoken, said.end - 0.05, { what: file });
    }
    if (next.file.toLowerCase() !== file.toLowerCase()) throw new Error(`heard ${next.file}, expected ${file}`);
    said = next;
  }
  return said;
}

async function press(key) {
  const at = await listen(false);
  await page.keyboard.press(key);
  return at;
}

// The character the game plays now: its latest play, taken early enough that both keys reach the
// game before that play ends and a repeat comes from another side. Where the machine is too busy
// to hear any play that early, the fifth is taken as it is (the eighth would cost a life): the
// outcome heard then tells how the game judged the answer.
async function characterToAnswer(since) {
  for (let passed = 0, deadline = Date.now() + 60000; Date.now() < deadline;) {
    const { end, plays } = await heard(Math.max(since - 0.1, frames / RATE - 1), 'level1\\');
    const latest = plays.filter((p) => isCharacter(p) && p.start >= since - 0.02).at(-1);
    if (!latest) continue;
    if (end - latest.start <= ANSWER_WITHIN || passed >= 4) return latest;
    passed += 1;
    since = latest.start + 0.1;
  }
  throw new Error(`no character heard after ${since.toFixed(3)} s`);
}

// ---- the page --------------------------------------------------------------------------------

async function audit(label) {
  if (!(await page.evaluate(() => !!window.axe))) await page.evaluate(axeSource);
  const results = await page.evaluate(() => window.axe.run(document, {
    runOnly: { type: 'tag', values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice'] },
  }));
  for (const violation of results.violations) {
    console.log(`${label}: ${violation.id} (${violation.impact}): ${violation.help}: ` +
                violation.nodes.map((node) => node.target.join(' ')).join(', '));
  }
  if (results.violations.length) throw new Error(`${label}: ${results.violations.length} accessibility violations`);
}

const focused = (id) => page.waitForFunction((want) => document.activeElement?.id === want, {}, id);

// Enter on the button, the intro heard, Ctrl to the menu; returns the figures of the start.
async function start() {
  await focused('start');
  await waitFor(named('game\\game_intro.vgz'), await press('Enter'), { minDuration: 0.3, what: 'the intro' });
  const asked = await page.evaluate(() => window.persistAsked.map((a) => ({ ...a, button: window.TapdashPage.figures.buttonAt })));
  if (asked.length !== 1 || !asked[0].inGesture || asked[0].at < asked[0].button) {
    throw new Error(`persistent storage asked ${JSON.stringify(asked)}, not once in the button's gesture`);
  }
  await focused('game');
  // A busy machine's gaps split the intro: what is left of it after Ctrl is not a piece spoken.
  said = await waitFor(named('menu\\arrows.vgz'), await press('ControlLeft'), { what: 'the menu after Ctrl' });
  await says(said.end, 'menu\\start_game.vgz');
  return page.evaluate(() => window.TapdashPage.figures);
}

async function down(...items) {
  for (const item of items) await says(await press('ArrowDown'), `menu\\${item}.vgz`);
}

const scorePieces = (score) => (score ? [`score\\${score / 100}.vgz`, 'score\\hundred.vgz'] : ['score\\0.vgz']);

// Two right answers, then one from a wrong side. A late answer (the character moved on to another
// side meanwhile) may be judged otherwise: the outcome heard decides what comes next, and the
// answers stop at a second wrong one, since a third would end the game. Returns the score earned.
async function playGame(enter) {
  let since = (await waitFor(isCharacter, enter, { folder: 'level1\\', what: 'the first character' })).start;
  let rights = 0;
  let wrongs = 0;
  let meantWrongHeard = false;
  while (!(rights >= 2 && meantWrongHeard) && wrongs < 2) {
    const character = await characterToAnswer(since);
    const meantRight = rights < 2;
    const side = meantRight ? character.side : { left: 'right', centre: 'left', right: 'centre' }[character.side];
    const at = await listen(false);
    const name = character.file.slice(7, -4);
    await page.keyboard.press(SIGNS[name] || name.toLowerCase());
    await page.keyboard.press(ANSWER_KEYS[side]);
    const outcome = await waitFor((p) => p.file === SUCCESS || p.file === ERROR, at,
                                  { minDuration: 0.15, folder: 'level1\\', what: 'the outcome' });
    // The outcome cue comes from the side of the character's latest play.
    if ((outcome.side === side) !== (outcome.file === SUCCESS)) {
      throw new Error(`${character.file} answered ${side}: ${outcome.file} from the ${outcome.side}`);
    }
    if (outcome.file === SUCCESS) {
      rights += 1;
    } else {
      wrongs += 1;
      meantWrongHeard ||= !meantRight;
    }
    console.log(`${character.file} from the ${character.side}, answered ${side}: ${outcome.file}`);
    since = outcome.start + 0.5;  // past the outcome cue, which may restart over its own tail
  }
  if (!rights || !wrongs) throw new Error(`${rights} right answers and ${wrongs} wrong ones`);
  return rights * 100;
}

let failed = false;
let stepName = 'the page';
const step = (what) => { stepName = what; };
try {
  await page.evaluateOnNewDocument(() => {
    window.persistAsked = [];
    const persist = navigator.storage.persist.bind(navigator.storage);
    navigator.storage.persist = () => {
      window.persistAsked.push({ at: performance.now(), inGesture: navigator.userActivation.isActive });
      return persist();
    };
    window.captured = [];
    window.tapdashCapture = (block) => {
      window.captured.push(new Uint8Array(block));
      if (window.wakeListener) window.wakeListener(window.wakeListener = null);
    };
    window.takeCapture = () => {
      let text = '';
      for (const block of window.captured.splice(0)) {
        for (let i = 0; i < block.length; i += 8192) text += String.fromCharCode(...block.subarray(i, i + 8192));
      }
      return btoa(text);
    };
  });
  page.on('console', (message) => console.log(`page: ${message.text()}`));
  page.on('pageerror', (error) => console.log(`page error: ${error.message}`));
  page.on('requestfailed', (request) => console.log(`request failed: ${request.url()} ${request.failure()?.errorText}`));
  browser.on('targetcreated', async (target) => {
    if (target.type() !== 'service_worker') return;
    const session = await target.createCDPSession();
    session.on('Runtime.consoleAPICalled', (call) =>
      console.log(`service worker: ${call.args.map((a) => a.value ?? a.description).join(' ')}`));
    session.on('Runtime.exceptionThrown', ({ exceptionDetails }) =>
      console.log(`service worker error: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`));
    await session.send('Runtime.enable');
  });
  await page.goto(`${base}/tapdash/play/`, { waitUntil: 'load' });
  await audit('before the start');
  step('the details');
  for (const [id, value] of Object.entries(details)) await page.type(`#${id}`, value);
  await page.click('#details button[type=submit]');
  await page.waitForFunction(() => document.getElementById('details-status').textContent.startsWith('Saved.'));

  step('the start');
  await page.focus('#start');  // back from the form to the button
  const figures = await start();
  console.log(`button to intro: ${(figures.introAt - figures.buttonAt).toFixed(0)} ms; ` +
              `bytes before the intro: ${figures.bytesBeforeIntro}; Ctrl to the menu's first sample: ` +
              `${figures.keyToSample.at(-1)?.toFixed(1)} ms; underruns ${figures.underruns}`);

  step('the About box');
  await page.keyboard.down('Alt');
  await page.keyboard.press('KeyA');
  await page.keyboard.up('Alt');
  await page.waitForSelector('#about[open]');
  await audit('the About box');
  await page.keyboard.press('Enter');
  await focused('game');
  await audit('in play');
  // The key that closed the box stayed the box's: the menu still stands at Start game.
  await down('practise');
  await says(await press('ArrowUp'), 'menu\\start_game.vgz');

  step('the game');
  const score = await playGame(await press('Enter'));
  await says(await press('Escape'), 'game\\say_game_over.wav', 'score\\say_final_score.vgz',
                          ...scorePieces(score), 'score\\say_points.vgz', 'menu\\start_game.vgz');
  step('sending the score');
  await down('practise', 'test_speakers', 'learn_game_sounds', 'final_score', 'view_top_10', 'send_score');
  await says(await press('Enter'), 'game\\check_connected.vgz');
  await says(await press('KeyY'), 'game\\sending_score.vgz', 'game\\made_it.vgz', 'score\\1.vgz');
  const topTen = await (await fetch(`${base}/tapdash/`)).text();
  if (!topTen.includes(`<bdi>${details['first-name']}</bdi>`) || !topTen.includes(`>${score}<`)) {
    throw new Error('the top ten page lacks the score sent with the details typed in');
  }
  console.log(`scored ${score}, sent with the details, place 1`);

  step('the top ten after a reload without a network');
  // The page registers the service worker once the whole pack is in; a worker whose install
  // failed leaves no active one, and `ready` would wait for ever.
  const kept = await page.evaluate(async () => {
    await window.TapdashPage.keptForOffline;
    const registration = await navigator.serviceWorker.getRegistration();
    if (!registration) return window.TapdashPage.keptForOffline ? 'not registered' : 'never asked for';
    if (!(registration.active || registration.waiting || registration.installing)) return 'its install failed';
    await navigator.serviceWorker.ready;
    return '';
  });
  if (kept) throw new Error(`no copy kept for playing offline: the service worker ${kept}`);
  await page.setOfflineMode(true);
  await page.reload({ waitUntil: 'load' });
  await page.waitForFunction((first) => document.getElementById('first-name').value === first, {},
                             details['first-name']);
  await start();
  await down('practise', 'test_speakers', 'learn_game_sounds', 'final_score', 'view_top_10');
  const entry = await says(await press('Enter'), 'score\\score_arrows.vgz', ...scorePieces(score), 'score\\say_points.vgz');
  // The list pauses for a second after an entry; Escape meanwhile is handled once it is over.
  await says(Math.max(await press('Escape'), entry.end), 'menu\\view_top_10.vgz');
  step('installable');
  const { installabilityErrors } = await (await page.createCDPSession()).send('Page.getInstallabilityErrors');
  if (installabilityErrors.length) throw new Error(`not installable: ${JSON.stringify(installabilityErrors)}`);
  step('Quit');
  await says(await press('Escape'), 'game\\exit_game.vgz');
  await page.waitForFunction(() => !document.getElementById('ended').hidden);
  await focused('ended-heading');
  await audit('after Quit');
  console.log('the visit played and heard as expected');
} catch (why) {
  for (const p of await analyse(0)) {
    console.log(`${p.start.toFixed(3)}-${p.end.toFixed(3)} ${p.file} ${p.side}${p.steady ? '' : ' (short)'}`);
  }
  console.log(`FAILED at ${stepName}: ${why}`);
  // What the service worker kept, for a failure after the offline reload.
  console.log(`kept: ${await page.evaluate(async () => {
    const counts = await Promise.all((await caches.keys()).map(async (name) =>
      `${name} ${(await (await caches.open(name)).keys()).length} files`));
    const worker = (await navigator.serviceWorker.getRegistration())?.active;
    return `${counts.join(', ') || 'no cache'}; active worker ${worker ? worker.state : 'none'}`;
  }).catch(String)}`);
  failed = true;
} finally {
  await browser.close();
  analyser.stdin.end();
}
process.exit(failed ? 1 : 0);
