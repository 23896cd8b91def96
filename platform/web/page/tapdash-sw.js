// The browser build's service worker: it keeps every file of one build (make_site.py writes their
// names and digests into the line below) in a cache of that build's own, and answers the page
// from it, with or without a network. A new build installs in the background, each file fetched
// whole and checked against its digest, and takes over only when no page of the old one is open:
// a page never gets files of two builds.
'use strict';

const build = { id: '', files: {} };
const cacheName = `tapdash-${build.id}`;
const urlOf = (name) => new URL(name, self.registration.scope).href;
const digests = new Map(Object.entries(build.files).map(([name, digest]) => [urlOf(name), digest]));

async function digestOf(bytes) {
  const sum = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return [...sum.subarray(0, 8)].map((b) => b.toString(16).padStart(2, '0')).join('');
}

// A file kept in an earlier, interrupted install of this build is not fetched again.
async function keepFile(cache, url) {
  if (await cache.match(url)) return;
  const reply = await fetch(url, { cache: 'no-cache' });
  if (reply.status !== 200) throw new Error(`${url}: ${reply.status}`);
  const bytes = await reply.arrayBuffer();
  if ((await digestOf(bytes)) !== digests.get(url)) throw new Error(`${url} is not of build ${build.id}`);
  const type = reply.headers.get('Content-Type');
  await cache.put(url, new Response(bytes, { status: 200, headers: type ? { 'Content-Type': type } : {} }));
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(cacheName);
    const urls = [...digests.keys()];
    let next = 0;
    const fetcher = async () => { while (next < urls.length) await keepFile(cache, urls[next++]); };
    await Promise.all([fetcher(), fetcher(), fetcher(), fetcher()]);
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith('tapdash-') && name !== cacheName) await caches.delete(name);
    }
  })());
});

// Only this build's own files are answered here; everything else (the scores) goes to the network.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || request.headers.has('Range')) return;
  const url = new URL(request.url);
  url.hash = '';
  url.search = '';
  const key = url.href === urlOf('index.html') ? urlOf('./') : url.href;
  if (!digests.has(key)) return;
  event.respondWith(caches.open(cacheName).then((cache) => cache.match(key))
    .then((kept) => kept || fetch(request)));
});
