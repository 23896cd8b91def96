// The page's side of the browser build: the button that starts the game (a browser starts sound
// only after a key or a click), the program folder filled from the server and the browser's
// storage, the key queue the game reads, the sound graph its mixer feeds, the dialogs and the
// player's details. The game's code reaches it through window.TapdashPage (platform/web/).
'use strict';

(() => {
  const programDir = '/tapdash/';
  // What the game loads before its intro is heard (the menu and score banks, the intro itself);
  // the rest of the pack follows once the intro sounds, and anything asked for sooner is fetched
  // at once.
  const startFiles = ['menu/', 'score/', 'game/game_intro.vgz'];
  const kinds = { keydown: 'keydown', keyup: 'keyup' };
  const $ = (id) => document.getElementById(id);

  const figures = { readyAt: 0, buttonAt: 0, introAt: 0, bytesBeforeIntro: 0, packAt: 0, bytesWholePack: 0,
                    underruns: 0, lead: 0, keyToSample: [] };
  const events = [];
  let wake = null;
  let running = false;

  // ---- the browser's storage: one object store of the program folder's own files ----------

  const database = new Promise((resolve) => {
    if (!window.indexedDB) { resolve(null); return; }
    const request = indexedDB.open('tapdash', 1);
    request.onupgradeneeded = () => request.result.createObjectStore('files');
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => resolve(null);
  });

  async function storedFiles() {
    const db = await database;
    if (!db) return [];
    return new Promise((resolve) => {
      const files = [];
      const cursor = db.transaction('files').objectStore('files').openCursor();
      cursor.onsuccess = () => {
        const at = cursor.result;
        if (!at) { resolve(files); return; }
        files.push([at.key, at.value]);
        at.continue();
      };
      cursor.onerror = () => resolve(files);
    });
  }

  async function keep(name, bytes) {
    const db = await database;
    if (!db) return false;
    return new Promise((resolve) => {
      const transaction = db.transaction('files', 'readwrite');
      transaction.objectStore('files').put(bytes, name);
      transaction.oncomplete = () => resolve(true);
      transaction.onerror = transaction.onabort = () => resolve(false);
    });
  }

  // ---- the program folder: the sound pack from the server ----------------------------------

  const pack = new Map();  // lower-case name -> { name, promise, started }
  // The page is busy while pack files are on their way or the game opened one since the last
  // render, and so is the game whenever it is not waiting for a key: in a sound played to its
  // end, a sleep, a request, a dialog. No key is answered meanwhile, so the sound graph holds a
  // longer lead then, and its gaps meanwhile are no reason for a longer lead afterwards.
  let fetching = 0;
  let filesSinceRender = 0;
  let awaitingKeys = false;
  let packListed = null;

  function fetchPackFile(entry) {
    if (!entry.started) {
      entry.started = true;
      fetching += 1;
      entry.promise = fetch(entry.name).then((reply) => {
        if (!reply.ok) throw new Error(`${entry.name}: ${reply.status}`);
        return reply.arrayBuffer();
      }).then((bytes) => {
        const path = programDir + entry.name;
        Module.FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
        Module.FS.writeFile(path, new Uint8Array(bytes));
      }).catch((why) => console.error('tapdash: cannot fetch', String(why)))
        .finally(() => { fetching -= 1; });
    }
    return entry.promise;
  }

  async function fetchAll(entries, atOnce) {
    let next = 0;
    const workers = [];
    for (let w = 0; w < atOnce; ++w) {
      workers.push((async () => {
        while (next < entries.length) await fetchPackFile(entries[next++]);
      })());
    }
    await Promise.all(workers);
  }

  function listPack() {
    if (!packListed) {
      packListed = fetch('files.txt').then((reply) => reply.text()).then((text) => {
        for (const line of text.split('\n')) {
          const name = line.trim();
          if (name) pack.set(name.toLowerCase(), { name, promise: null, started: false });
        }
      });
    }
    return packListed;
  }

  function startPack() {
    const first = [...pack.values()].filter((e) => startFiles.some((f) => e.name.toLowerCase().startsWith(f))
                                              || !e.name.includes('/'));
    return fetchAll(first, 6);
  }

  let restStarted = false;
  function fetchRest() {
    if (restStarted) return;
    restStarted = true;
    fetchAll([...pack.values()], 4).then(() => {
      figures.packAt = performance.now();
      figures.bytesWholePack = bytesSoFar();
      keepForOffline();
    });
  }

  // The service worker (tapdash-sw.js) keeps this build for the next start, with or without a
  // network. On a first visit it is registered once the whole pack is in, so that it finds every
  // file in the browser's cache instead of fetching it a second time; a page it already serves
  // registers it at once, which looks for a new build.
  // TapdashPage.keptForOffline: settles once this build is kept whole or could not be.
  function keepForOffline() {
    if (window.TapdashPage.keptForOffline || !navigator.serviceWorker) return;
    window.TapdashPage.keptForOffline = navigator.serviceWorker.register('tapdash-sw.js').then((registration) => {
      const worker = registration.installing;
      if (!worker) return;
      return new Promise((resolve) => worker.addEventListener('statechange', () => {
        if (worker.state !== 'installing') resolve();
      }));
    }).catch((why) => console.error('tapdash: no copy kept for playing offline:', String(why)));
  }

  async function fillProgramFolder() {
    const FS = Module.FS;
    FS.mkdirTree(programDir);
    // The executable's own path: the program folder is where it lies.
    FS.writeFile(programDir + 'tapdash', new Uint8Array(0));
    try { FS.mkdirTree('/proc/self'); FS.symlink(programDir + 'tapdash', '/proc/self/exe'); } catch (e) {}
    for (const [name, bytes] of await storedFiles()) FS.writeFile(programDir + name, bytes);
    // The game keeps its best scores only in a best.dat that is there.
    if (!FS.analyzePath(programDir + 'best.dat').exists) FS.writeFile(programDir + 'best.dat', new Uint8Array(0));
    await startPack();
  }

  // ---- sound: an AudioWorklet (a ScriptProcessor where there is none) fed by the mixer ------

  let context = null;
  let player = null;
  let tap = null;
  // figures.keyToSample: from each key (its KeyboardEvent's time) to the first sound leaving the
  // worklet's process() of the first render that played something after it, in ms, both on the
  // epoch's clock (the worklet has no other; whole milliseconds); workletCalls: when process()
  // last ran (askWorkletCalls).
  figures.workletCalls = [];
  let playNotedAt = 0;  // performance.now() of the last play since the last render, 0 for none
  let lastKeyStamp = 0;  // the last key's KeyboardEvent.timeStamp (performance.now()'s clock)
  let lastKeyAt = 0;  // the same on the epoch's clock
  let keyAnswered = true;

  function render(frames, port) {
    const at = Module._WebAudioRender(frames) >> 1;
    const pcm = Module.HEAP16.subarray(at, at + frames * 2);
    const left = new Float32Array(frames);
    const right = new Float32Array(frames);
    for (let i = 0; i < frames; ++i) {
      left[i] = pcm[2 * i] / 32768;
      right[i] = pcm[2 * i + 1] / 32768;
    }
    const mark = playNotedAt;
    let key = 0;
    if (!keyAnswered && mark >= lastKeyStamp) {
      keyAnswered = true;
      key = lastKeyAt;
    }
    playNotedAt = 0;
    const busy = !awaitingKeys || fetching > 0 || filesSinceRender > 0;
    filesSinceRender = 0;
    port.postMessage({ left, right, mark, key, busy }, [left.buffer, right.buffer]);
  }

  // The first sound the game played has left the worklet: the intro.
  function heard() {
    if (!figures.introAt) {
      figures.introAt = performance.now();
      figures.bytesBeforeIntro = bytesSoFar();
      fetchRest();
    }
  }

  function fromWorklet(event) {
    const data = event.data;
    if (data.need && player) render(data.need, player.port);  // none once the sound is closed
    if (data.heard) heard();
    if (data.keyToSample !== undefined) figures.keyToSample.push(data.keyToSample);
    if (data.calls) figures.workletCalls = data.calls;
    if (data.underruns !== undefined) { figures.underruns = data.underruns; figures.lead = data.lead; }
  }

  // A stand-in for the worklet where the browser has none: the same protocol on the main thread.
  function scriptProcessorPlayer() {
    const node = context.createScriptProcessor(1024, 0, 2);
    const queue = [];
    const port = { postMessage: (chunk) => queue.push(chunk) };
    node.onaudioprocess = (event) => {
      const out = event.outputBuffer;
      render(out.length, port);
      const chunk = queue.shift();
      out.getChannelData(0).set(chunk.left);
      out.getChannelData(1).set(chunk.right);
      if (chunk.mark) heard();
      if (chunk.key) figures.keyToSample.push(Date.now() - chunk.key);
    };
    return node;
  }

  function openSound() {
    if (!context) return 0;
    if (context.audioWorklet && window.AudioWorkletNode) {
      player = new AudioWorkletNode(context, 'tapdash-player', { numberOfInputs: 0, outputChannelCount: [2] });
      player.port.onmessage = fromWorklet;
    } else {
      player = scriptProcessorPlayer();
    }
    let last = player;
    // A test listens to what leaves the graph's player (window.tapdashCapture). It tells sounds
    // apart by their gaps, so the player holds a lead that a busy machine's hiccups do not cut.
    if (window.tapdashCapture && context.audioWorklet) {
      player.port.postMessage({ shortestLead: 4096 });
      tap = new AudioWorkletNode(context, 'tapdash-tap', { numberOfInputs: 1, outputChannelCount: [2] });
      tap.port.onmessage = (event) => window.tapdashCapture(event.data);
      player.connect(tap);
      last = tap;
    }
    last.connect(context.destination);
    return context.sampleRate;
  }

  function closeSound() {
    if (player) player.disconnect();
    if (tap) tap.disconnect();
    player = tap = null;
  }

  function bytesSoFar() {
    let bytes = 0;
    for (const entry of performance.getEntriesByType('navigation')) bytes += entry.transferSize || 0;
    for (const entry of performance.getEntriesByType('resource')) bytes += entry.transferSize || 0;
    return bytes;
  }

  // Lets every task the page has waiting run (a promise alone resumes before them).
  const turns = new MessageChannel();
  const turnsWaiting = [];
  turns.port1.onmessage = () => turnsWaiting.shift()();
  function pageTurn() {
    return new Promise((resolve) => { turnsWaiting.push(resolve); turns.port2.postMessage(0); });
  }

  // ---- keys and focus, queued for the game's loop --------------------------------------------

  function modifiers(e) {
    const altGraph = e.getModifierState && e.getModifierState('AltGraph');
    return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0) | (altGraph ? 8 : 0);
  }

  // Keys the page leaves to the browser: Tab moves the focus, F5 reloads, F11 and F12 are the
  // browser's, and so is Alt with anything but A. Every other key is the game's alone.
  function browsersKey(e, mods) {
    if (['Tab', 'F5', 'F11', 'F12'].includes(e.code) || e.metaKey) return true;
    return (mods & 4) && !(mods & 8) && e.code !== 'KeyA';
  }

  function push(event) {
    events.push(event);
    if (wake) { const w = wake; wake = null; w(); }
  }

  function onKey(e) {
    if (!running) return;
    const mods = modifiers(e);
    if (browsersKey(e, mods)) return;
    e.preventDefault();
    if (e.type === 'keydown') {
      lastKeyStamp = e.timeStamp;
      lastKeyAt = Date.now() - (performance.now() - e.timeStamp);
      keyAnswered = false;
    }
    push({ kind: kinds[e.type], code: e.code, key: e.key, repeat: e.repeat, modifiers: mods });
  }

  // ---- what the game calls (platform/web/) ---------------------------------------------------

  window.TapdashPage = {
    figures,
    askWorkletCalls: () => player && player.port && player.port.postMessage({ calls: true }),
    contextFigures: () => context && { rate: context.sampleRate, baseLatency: context.baseLatency,
                                       outputLatency: context.outputLatency },
    takeEvent: () => events.shift() || null,
    hasEvent: () => events.length > 0,
    waitForEvent(timeoutMs) {
      if (events.length) return Promise.resolve();
      awaitingKeys = true;
      return new Promise((resolve) => {
        let timer = 0;
        const done = () => { awaitingKeys = false; resolve(); };
        wake = () => { clearTimeout(timer); done(); };
        if (timeoutMs >= 0) timer = setTimeout(() => { wake = null; done(); }, timeoutMs);
      });
    },
    async windowShown(title, width, height) {
      figures.readyAt = performance.now();
      const keeping = await buttonPressed;
      // A browser that asks the player (rather than answering at once) does not hold up the game.
      await Promise.race([keeping, pageTurn()]);
      $('status').textContent = '';
      document.title = title;
      const picture = $('picture');
      picture.width = width;
      picture.height = height;
      $('start-area').hidden = true;
      $('game').hidden = false;
      running = true;
      $('game').focus();
    },
    windowEnded() {
      running = false;
      $('game').hidden = true;
      $('start-area').hidden = true;
      $('ended').hidden = false;
      $('ended-heading').focus();
      if (context) context.close();
    },
    showPicture(width, height, bytes) {
      const canvas = $('picture');
      const image = canvas.getContext('2d').createImageData(width, height);
      const stride = (width * 3 + 3) & ~3;
      for (let y = 0; y < height; ++y) {
        const row = (height - 1 - y) * stride;
        for (let x = 0; x < width; ++x) {
          const from = row + x * 3;
          const to = (y * width + x) * 4;
          image.data[to] = bytes[from + 2];
          image.data[to + 1] = bytes[from + 1];
          image.data[to + 2] = bytes[from];
          image.data[to + 3] = 255;
        }
      }
      canvas.getContext('2d').putImageData(image, 0, 0);
    },
    showDialog(which, caption, lines) {
      const dialog = $(which);
      $(`${which}-caption`).textContent = caption;
      const text = $(`${which}-text`);
      text.replaceChildren(...lines.map((line) => {
        const p = document.createElement('p');
        p.textContent = line;
        return p;
      }));
      running = false;
      return new Promise((resolve) => {
        dialog.addEventListener('close', () => {
          running = true;
          if (!$('game').hidden) $('game').focus();
          resolve();
        }, { once: true });
        dialog.showModal();
      });
    },
    openSound,
    closeSound,
    notePlay() { playNotedAt = performance.now(); },
    async fetchFromServer(path, limit, timeoutMs) {
      try {
        const reply = await fetch(path, { cache: 'no-store', signal: AbortSignal.timeout(timeoutMs) });
        const bytes = new Uint8Array(await reply.arrayBuffer());
        return { status: reply.status, bytes: bytes.subarray(0, limit) };
      } catch (why) {
        return { status: 0, bytes: new Uint8Array(0) };
      }
    },
    // A sound of the pack still on its way from the server is waited for. Either way the page has
    // its turn first, so that the sound graph is fed while a mode loads its sounds.
    async awaitFile(path) {
      await pageTurn();
      filesSinceRender += 1;  // the render after this turn waited for the game to read it
      await listPack();
      let name = path.replaceAll('\\', '/');
      if (name.startsWith(programDir)) name = name.slice(programDir.length);
      const entry = pack.get(name.toLowerCase());
      if (entry) await fetchPackFile(entry);
    },
    async storeFile(path) {
      if (!path.startsWith(programDir) || path.slice(programDir.length).includes('/')) return;
      let bytes;
      try {
        bytes = Module.FS.readFile(path);
      } catch (error) {  // the game goes on; the file is just not kept
        console.error('tapdash: cannot read back', path, error.errno);
        return;
      }
      if (!(await keep(path.slice(programDir.length), bytes))) {
        console.error('tapdash: the browser did not keep', path);
      }
    },
  };

  // ---- the emscripten module, started by the button ------------------------------------------

  let runtimeReady;
  const runtime = new Promise((resolve) => { runtimeReady = resolve; });
  window.Module = {
    print: (text) => console.log(text),
    printErr: (text) => console.error(text),
    onRuntimeInitialized: () => runtimeReady(),
  };
  const folderFilled = runtime.then(listPack).then(fillProgramFolder);
  folderFilled.then(loadDetails);

  // Asked for in the button's gesture; where the browser refuses, or keeps no files at all, the
  // page says so before the game starts.
  async function askToKeepFiles() {
    const granted = navigator.storage && navigator.storage.persist ? navigator.storage.persist() : null;
    let sentence = '';
    if (!(await database)) {
      sentence = 'This browser keeps no files for this page: your best scores and details last only until it is closed.';
    } else if (granted && !(await granted.catch(() => false))) {
      sentence = 'This browser may delete your best scores and details when it runs short of space or after weeks without a visit; installing Tapdash keeps them.';
    }
    $('keeping').textContent = sentence;
  }

  // The game starts as soon as its files and the sound graph are there, before the button: it
  // loads and converts the sounds it keeps for the whole run meanwhile, and waits for the button
  // before it shows its window (TapdashPage.windowShown) and plays the intro. The sound graph is
  // made at once too; it stays silent until the button resumes it (a browser starts sound only
  // after a key or a click).
  const Context = window.AudioContext || window.webkitAudioContext;
  // The shortest period the browser's output offers (a render quantum here, where 'interactive'
  // gives 10 ms): each key's sound starts sooner, and the worklet's lead copes with a page that
  // is late now and then.
  try {
    context = new Context({ sampleRate: 48000, latencyHint: 0 });
  } catch (e) {
    context = new Context();
  }
  const worklet = context.audioWorklet ? context.audioWorklet.addModule('tapdash-worklet.js') : null;
  Promise.all([folderFilled, worklet]).then(() => Module.callMain([]));

  let pressed;
  const buttonPressed = new Promise((resolve) => { pressed = resolve; });

  function start() {
    const button = $('start');
    if (button.disabled) return;
    button.disabled = true;
    figures.buttonAt = performance.now();
    $('status').textContent = 'Starting…';
    const keeping = askToKeepFiles();
    context.resume();
    pressed(keeping);
  }

  // ---- the player's details, written as tapdash-player writes config.dat -----------------------

  const fields = ['first-name', 'last-name', 'address', 'country'];

  // One of the game's exported functions of strings that returns a string. Called directly: the
  // runtime's ccall, while the game waits for the page (a key, the button), hands back the game's
  // own wait instead of the answer.
  function callWithText(name, ...values) {
    const pointers = values.map((value) => {
      const bytes = new TextEncoder().encode(value);
      const at = Module._malloc(bytes.length + 1);
      Module.HEAPU8.set(bytes, at);
      Module.HEAPU8[at + bytes.length] = 0;
      return at;
    });
    try {
      return Module.UTF8ToString(Module[`_${name}`](...pointers));
    } finally {
      pointers.forEach((at) => Module._free(at));
    }
  }

  function loadDetails() {
    const path = programDir + 'config.dat';
    if (!Module.FS.analyzePath(path).exists) return;
    const lines = new TextDecoder().decode(Module.FS.readFile(path)).split('\n');
    fields.forEach((id, i) => { $(id).value = lines[i] || ''; });
  }

  async function saveDetails(e) {
    e.preventDefault();
    await folderFilled;
    let ok = true;
    const values = [];
    for (const id of fields) {
      const value = $(id).value;
      const problem = callWithText('WebDetailsProblem', value);
      $(`${id}-problem`).textContent = problem;
      $(id).setAttribute('aria-invalid', problem ? 'true' : 'false');
      if (problem && ok) $(id).focus();
      ok = ok && !problem;
      values.push(value);
    }
    if (!ok) { $('details-status').textContent = 'Nothing was saved.'; return; }
    const bytes = new TextEncoder().encode(callWithText('WebDetailsFile', ...values));
    Module.FS.writeFile(programDir + 'config.dat', bytes);
    const kept = await keep('config.dat', bytes);
    $('details-status').textContent = kept ? 'Saved. Tapdash will send these details with your score.'
                                           : 'Saved for this visit only: this browser keeps no files.';
  }

  document.addEventListener('DOMContentLoaded', () => {
    if (navigator.serviceWorker && navigator.serviceWorker.controller) keepForOffline();
    $('start').addEventListener('click', start);
    $('again').addEventListener('click', () => location.reload());
    $('game').addEventListener('keydown', onKey);
    $('game').addEventListener('keyup', onKey);
    $('game').addEventListener('focus', () => running && push({ kind: 'focus' }));
    $('game').addEventListener('blur', () => running && push({ kind: 'blur' }));
    $('details').addEventListener('submit', saveDetails);
  });
})();
