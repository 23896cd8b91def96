// The browser build's sound player (platform/web/page/tapdash-worklet.js) run under Node with a
// stand-in page: how much it holds ahead as the page keeps up or is held up, and when it times a
// key's sound. Each scenario drives the render quanta one by one; the page answers each request
// for frames at once, except during the quanta a scenario holds it up. Exits 1 on a failure.
import { readFileSync } from 'node:fs';
import vm from 'node:vm';

const worklet = new URL('../../platform/web/page/tapdash-worklet.js', import.meta.url);
const source = readFileSync(worklet, 'utf8');
const QUANTUM = 128;
const RATE = 48000;

function player(clockMs) {
  const processors = {};
  const context = {
    currentFrame: 0,
    Date: { now: () => clockMs() },
    AudioWorkletProcessor: class {
      constructor() {
        this.sent = [];
        this.port = { postMessage: (m) => this.sent.push(m) };
      }
    },
    registerProcessor: (name, type) => { processors[name] = type; },
  };
  vm.runInNewContext(source, context);
  const node = new processors['tapdash-player']();
  return { node, context };
}

// Plays `quanta` render quanta; `page(i)` says how the page renders during quantum i: null when
// held up, else the chunk's flags. Returns the player and what it told the page.
function play(quanta, page, sound = () => 0) {
  let now = 0;
  const { node, context } = player(() => now);
  const told = [];
  let owed = 0;
  for (let i = 0; i < quanta; ++i) {
    for (const message of node.sent.splice(0)) {
      if (message.need) owed += message.need;
      else told.push(message);
    }
    const flags = page(i);
    if (flags && owed) {
      const left = new Float32Array(owed).map((_, f) => sound(i, f));
      const chunk = { left, right: left.slice(), mark: 0, key: 0, busy: false, ...flags };
      node.port.onmessage({ data: chunk });
      owed = 0;
    }
    const out = [new Float32Array(QUANTUM), new Float32Array(QUANTUM)];
    node.process([], [out]);
    context.currentFrame += QUANTUM;
    now = (context.currentFrame / RATE) * 1000;
  }
  told.push(...node.sent.filter((m) => !m.need));
  return { node, told };
}

const seconds = (s) => Math.round((s * RATE) / QUANTUM);
const heldUp = (...spans) => (i) => (spans.some(([from, to]) => i >= from && i < to) ? null : {});
const hiccups = heldUp([200, 206], [400, 406], [600, 606]);

const leads = [
  ['the pack loading at the start holds the page up again and again: no longer lead afterwards',
   seconds(3), (i) => (i < seconds(1) && i % 50 < 6 ? null : { busy: i < seconds(1) }), 512],
  ['one hiccup while the game waits for keys costs no longer lead', seconds(3),
   heldUp([200, 206]), 512],
  ['hiccups that keep coming double the lead', seconds(4), hiccups, 1024],
  ['ten seconds without a gap halve it again', seconds(15), hiccups, 512],
];
let failed = 0;
for (const [scenario, quanta, page, lead] of leads) {
  const { node } = play(quanta, page);
  const ok = node.lead === lead;
  failed += ok ? 0 : 1;
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${scenario}: lead ${node.lead}, want ${lead}`);
}

// While the game takes no keys the page says it is busy, and the player holds 2048 frames.
{
  const { node } = play(100, () => ({ busy: true }));
  const ok = node.queued + node.asked >= 2048 && node.lead === 512;
  failed += ok ? 0 : 1;
  console.log(`${ok ? 'ok  ' : 'FAIL'} a busy page is held 2048 frames ahead: ` +
              `${node.queued + node.asked}`);
}

// A key's sound is timed at the quantum that puts out its first nonzero sample: the key's
// render comes at quantum 10, and its sound starts in it, or one render later.
{
  const timed = [0, 1].map((late) => {
    const sound = (i, f) => (i >= 10 + late && f >= 60 ? 0.5 : 0);
    const { told } = play(20, (i) => (i === 10 ? { key: 1e-9 } : {}), sound);
    return (told.find((m) => m.keyToSample !== undefined) || {}).keyToSample;
  });
  const quantumMs = (QUANTUM * 1000) / RATE;
  const ok = timed[0] > 4 * quantumMs && Math.abs(timed[1] - timed[0] - quantumMs) < 1e-6;
  failed += ok ? 0 : 1;
  console.log(`${ok ? 'ok  ' : 'FAIL'} a key is timed at its first nonzero sample: ` +
              `${timed.join(' and ')} ms`);
}
process.exit(failed ? 1 : 0);
