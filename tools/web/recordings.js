// The recordings kept in this browser (IndexedDB): each with its date, its length and how the
// game ended, listed on the page to watch again, download or delete. Where the browser refuses
// the site's storage, add() answers null and the page downloads the recording instead.
'use strict';
(function () {
  const $ = (id) => document.getElementById(id);
  let opened = null;
  function db() {
    if (!opened) {
      opened = new Promise((resolve, reject) => {
        const request = indexedDB.open('ostravel', 1);
        request.onupgradeneeded = () =>
          request.result.createObjectStore('recordings', { keyPath: 'id', autoIncrement: true });
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
      });
    }
    return opened;
  }
  // One request on the store, its result; null where the browser keeps nothing.
  async function ask(mode, work) {
    try {
      const store = (await db()).transaction('recordings', mode).objectStore('recordings');
      return await new Promise((resolve, reject) => {
        const request = work(store);
        request.onsuccess = () => resolve(request.result);
        request.onerror = () => reject(request.error);
      });
    } catch (e) {
      return null;
    }
  }
  // A recording's frames and seconds: its last frame, each step line's milliseconds holding
  // until the next.
  function length(text) {
    let frames = 0, ms = 0, step = 0, from = 0;
    for (const line of text.split('\n')) {
      const f = line.trim().split(/\s+/);
      if (!/^\d+$/.test(f[0])) continue;
      frames = Number(f[0]) + 1;
      if (f[1] === 'step') {
        ms += (frames - 1 - from) * step;
        step = Number(f[2]);
        from = frames - 1;
      }
    }
    ms += (frames - from) * step;
    const s = Math.round(ms / 1000);
    return Math.floor(s / 60) + ':' + String(s % 60).padStart(2, '0') + ' (' + frames + ' frames)';
  }
  function button(text, action) {
    const b = document.createElement('button');
    b.textContent = text;
    b.onclick = action;
    return b;
  }
  async function show() {
    const all = await ask('readonly', (store) => store.getAll());
    const table = $('recordlist');
    table.replaceChildren();
    $('recordings').hidden = all === null;
    for (const r of (all || []).reverse()) {
      const row = table.insertRow();
      for (const text of [new Date(r.date).toLocaleString(), r.length, r.how]) {
        row.insertCell().textContent = text;
      }
      row.insertCell().append(
        button('Watch', () => { location.search = '?watch=' + r.id; }),
        button('Download', () => window.ostravelDownload('ostravel-demo-' + r.id + '.txt',
          new Blob([r.text]))),
        button('Delete', () => ask('readwrite', (store) => store.delete(r.id)).then(show)));
    }
  }
  window.ostravelRecordings = {
    // Keeps a recording; its id, or null where the browser keeps nothing.
    add: async (text, how) => {
      const id = await ask('readwrite', (store) =>
        store.add({ date: Date.now(), length: length(text), how: how, text: text }));
      show();
      return id;
    },
    text: async (id) => {
      const r = await ask('readonly', (store) => store.get(id));
      return r ? r.text : null;
    },
  };
  show();
})();
