// The sound graph's two processors. tapdash-player plays what the game's mixer renders: it asks
// the page for more whenever what it holds falls below its lead, and plays silence when nothing
// came in time; gaps that keep coming hold a longer lead, and after a while without a gap it
// tries a shorter one again. tapdash-tap passes its input on unchanged and hands a copy to the
// page (for tests that listen to the graph's output).
'use strict';

// The clock the page and the worklet share for the latency figures: a worklet has no performance
// object, so it is the epoch's milliseconds, whole ones in Chromium.
const clock = () => Date.now();

const QUANTUM = 128;
const SHORTEST_LEAD = 512;
const LONGEST_LEAD = 8192;
const BUSY_LEAD = 2048;  // while the page is busy (loading sounds) or the game takes no keys
const SHORTER_AFTER = 48000 * 10;  // frames played without a gap before the lead shrinks
const GAPS_WITHIN = 48000 * 5;  // three gaps within this many frames grow the lead

class TapdashPlayer extends AudioWorkletProcessor {
  constructor() {
    super();
    this.chunks = [];
    this.offset = 0;
    this.queued = 0;
    this.asked = 0;
    this.shortestLead = SHORTEST_LEAD;
    this.lead = SHORTEST_LEAD;
    this.started = false;
    this.underruns = 0;
    this.sinceGap = 0;  // frames played since the last gap or the lead's last change
    this.gapsAt = [];  // currentFrame at the end of the latest gaps
    this.gap = 0;  // frames of silence played since the last chunk ran out
    this.pageBusy = false;  // the page was busy when it rendered the last chunk
    this.keyAt = 0;  // the key whose sound is on its way out, on the page's clock
    this.keyFrom = 0;
    this.calls = new Float64Array(512);  // when process() last ran, for the page's figures
    this.callCount = 0;
    this.port.onmessage = (event) => {
      const chunk = event.data;
      if (chunk.calls) { this.postCalls(); return; }
      if (chunk.shortestLead) {
        this.shortestLead = chunk.shortestLead;
        this.lead = Math.max(this.lead, this.shortestLead);
        return;
      }
      this.chunks.push(chunk);
      this.queued += chunk.left.length;
      this.asked = Math.max(0, this.asked - chunk.left.length);
      this.started = true;
      this.pageBusy = chunk.busy;
    };
    this.ask();
  }

  ask() {
    const lead = this.pageBusy ? Math.max(this.lead, BUSY_LEAD) : this.lead;
    const want = lead - this.queued - this.asked;
    if (want <= 0) return;
    const frames = Math.ceil(want / QUANTUM) * QUANTUM;
    this.asked += frames;
    this.port.postMessage({ need: frames });
  }

  process(inputs, outputs) {
    const left = outputs[0][0];
    const right = outputs[0][1] || left;
    const frames = left.length;
    let filled = 0;
    while (filled < frames && this.chunks.length) {
      const chunk = this.chunks[0];
      if (this.offset === 0 && chunk.mark) this.port.postMessage({ heard: chunk.mark });
      if (this.offset === 0 && chunk.key) { this.keyAt = chunk.key; this.keyFrom = filled; }
      const take = Math.min(frames - filled, chunk.left.length - this.offset);
      left.set(chunk.left.subarray(this.offset, this.offset + take), filled);
      right.set(chunk.right.subarray(this.offset, this.offset + take), filled);
      filled += take;
      this.offset += take;
      this.queued -= take;
      if (this.offset === chunk.left.length) {
        this.chunks.shift();
        this.offset = 0;
      }
    }
    if (filled < frames) {
      left.fill(0, filled);
      right.fill(0, filled);
      if (this.started) this.gap += frames - filled;
    } else if (this.gap) {
      this.endGap();
    } else if ((this.sinceGap += frames) >= SHORTER_AFTER && this.lead > this.shortestLead) {
      this.sinceGap = 0;
      this.lead = Math.max(this.shortestLead, this.lead / 2);
      this.port.postMessage({ underruns: this.underruns, lead: this.lead });
    }
    if (this.keyAt) this.timeKey(left, right);
    this.calls[this.callCount++ % this.calls.length] = clock();
    this.ask();
    return true;
  }

  // Gaps that keep coming (three within a few seconds) double the lead: the page does not keep
  // up with it. One or two are the page held up once, and a gap while it is busy (it holds a busy
  // lead then) is no reason either: a longer lead costs every key afterwards.
  endGap() {
    this.underruns += 1;
    if (!this.pageBusy) {
      this.sinceGap = 0;
      this.gapsAt = this.gapsAt.filter((at) => currentFrame - at < GAPS_WITHIN);
      this.gapsAt.push(currentFrame);
      if (this.gapsAt.length >= 3) {
        this.lead = Math.min(LONGEST_LEAD, this.lead * 2);
        this.gapsAt = [];
      }
    }
    this.port.postMessage({ underruns: this.underruns, lead: this.lead });
    this.gap = 0;
  }

  // The key's latency: from the key to the first sound leaving here of the first render the game
  // played something in after that key (the click, where nothing else sounds).
  timeKey(left, right) {
    for (let i = this.keyFrom; i < left.length; ++i) {
      if (left[i] !== 0 || right[i] !== 0) {
        this.port.postMessage({ keyToSample: clock() - this.keyAt });
        this.keyAt = 0;
        return;
      }
    }
    this.keyFrom = 0;
  }

  postCalls() {
    const n = Math.min(this.callCount, this.calls.length);
    const calls = [];
    for (let i = this.callCount - n; i < this.callCount; ++i) {
      calls.push(this.calls[i % this.calls.length]);
    }
    this.port.postMessage({ calls });
  }
}

// Hands on blocks of 1024 frames as 16-bit stereo, left first, as a sound card's capture has it.
class TapdashTap extends AudioWorkletProcessor {
  constructor() {
    super();
    this.block = new Int16Array(2048);
    this.filled = 0;
  }

  process(inputs, outputs) {
    const input = inputs[0];
    const left = outputs[0][0];
    const right = outputs[0][1];
    const inLeft = input.length ? input[0] : null;
    const inRight = input.length > 1 ? input[1] : inLeft;
    for (let i = 0; i < left.length; ++i) {
      const l = inLeft ? inLeft[i] : 0;
      const r = inRight ? inRight[i] : 0;
      left[i] = l;
      right[i] = r;
      this.block[this.filled++] = Math.max(-32768, Math.min(32767, Math.round(l * 32768)));
      this.block[this.filled++] = Math.max(-32768, Math.min(32767, Math.round(r * 32768)));
      if (this.filled === this.block.length) {
        this.port.postMessage(this.block.buffer, [this.block.buffer]);
        this.block = new Int16Array(2048);
        this.filled = 0;
      }
    }
    return true;
  }
}

registerProcessor('tapdash-player', TapdashPlayer);
registerProcessor('tapdash-tap', TapdashTap);
