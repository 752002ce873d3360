// The page around the browser build: loading, "Click to play", pause on a freed mouse, the
// game's message boxes as dialogs, full screen, screenshots, recording and demos (kept in the
// browser, see recordings.js), the player's settings, the offline copy (the service worker,
// sw.js), and the hooks the browser tests use (see the README, "Play in the browser"). The page
// takes only its own site's files, and only the options that make sense in a page.
'use strict';
(function () {
  const params = new URLSearchParams(location.search);
  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas');
  const home = '/home/web_user';
  const gameDir = '/game';
  const demoName = 'demo.txt';
  let started = false;
  let recording = params.has('record');
  // A demo to watch: named by ?demo=PATH, picked from disk, or kept in the browser (?watch=ID).
  let watching = false;
  let lastCaption = '';

  // ---- the hooks ----
  const hooks = {
    state: 'loading',
    exitCode: null,
    // The bytes of a file the game wrote, a path relative to the game's folder or absolute.
    readFile: (path) => Array.from(FS.readFile(path.startsWith('/') ? path : gameDir + '/' + path)),
  };
  window.ostravel = hooks;

  function dialog(caption, text, isError) {
    const box = document.createElement('div');
    box.className = 'dialog' + (isError ? ' error' : '');
    const title = document.createElement('h2');
    title.textContent = caption;
    const body = document.createElement('p');
    body.textContent = text;
    const ok = document.createElement('button');
    ok.textContent = 'OK';
    ok.onclick = () => box.remove();
    box.append(title, body, ok);
    $('dialogs').append(box);
    lastCaption = caption;
  }
  function cover(text, button) {
    $('cover').hidden = false;
    $('status').textContent = text;
    $('play').hidden = !button;
    if (button) $('play').textContent = button;
  }
  function download(name, blob) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = name;
    a.click();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  }
  window.ostravelDownload = download;

  // ---- settings: the keys of ostravel.conf, kept in this browser ----
  // A browser that refuses the site's storage throws on localStorage: the defaults, said so.
  function keptSettings() {
    try {
      return JSON.parse(localStorage.getItem('ostravel.settings') || '{}');
    } catch (e) {
      $('kept').textContent = 'This browser refuses the site\'s storage: the settings will not be kept.';
      return {};
    }
  }
  function keepSettings(settings) {
    try {
      localStorage.setItem('ostravel.settings', JSON.stringify(settings));
    } catch (e) { /* said once by keptSettings */ }
  }
  // The render scale (1.0 ... 0.25, or auto): a browser that draws without a GPU (headless
  // Chromium's) keeps its frame rate by drawing the world smaller.
  const settings = Object.assign({ sensitivity: '1', invert: false, volume: '100', renderScale: '1.0' },
    keptSettings());
  $('sensitivity').value = settings.sensitivity;
  $('invert').checked = settings.invert;
  $('volume').value = settings.volume;
  $('renderscale').value = settings.renderScale;
  for (const id of ['sensitivity', 'invert', 'volume', 'renderscale']) {
    $(id).onchange = () => {
      settings.sensitivity = $('sensitivity').value;
      settings.invert = $('invert').checked;
      settings.volume = $('volume').value;
      settings.renderScale = $('renderscale').value;
      keepSettings(settings);
    };
  }
  function writeSettings() {
    FS.mkdirTree(home + '/.config/ostravel');
    FS.writeFile(home + '/.config/ostravel/ostravel.conf',
      'mouse_sensitivity = ' + settings.sensitivity + '\ninvert_mouse = ' +
      (settings.invert ? 'yes' : 'no') + '\nvolume = ' + settings.volume + '\nrender_scale = ' +
      settings.renderScale + '\n');
  }

  // ---- what the address may ask ----
  // The options a page takes, each with what its value is: the game's own run and its files in
  // the game's folder. Full screen is the page's button; the data is the site's own.
  const pageOptions = { '--windowed': null, '--stats': null, '--frames': 'value',
    '--fixed-step': 'value', '--seed': 'value', '--render-scale': 'value', '--script': 'file',
    '--record': 'file', '--trace': 'file', '--capture': 'capture' };
  // A path inside the site, or inside the game's folder: relative, no scheme, no '..', no '\'.
  function insideSite(name) {
    if (!/^[\w.-][\w.\/ -]*$/.test(name) || name.split('/').includes('..')) return false;
    return new URL(name, location.href).origin === location.origin;
  }
  // The refused parts of the address, each named; empty when all is the site's own.
  function refusals() {
    const refused = [];
    for (const key of ['file', 'demo']) {
      for (const name of params.getAll(key)) {
        if (!insideSite(name)) refused.push('?' + key + '=' + name + ' (not a path inside this site)');
      }
    }
    const args = (params.get('args') || '').split(' ').filter((a) => a.length > 0);
    for (let i = 0; i < args.length; ++i) {
      const kind = pageOptions[args[i]];
      if (kind === undefined) {
        refused.push('?args= option ' + args[i] + ' (not one a page takes)');
        while (i + 1 < args.length && !args[i + 1].startsWith('-')) ++i; // its values
      } else if (kind !== null) {
        const value = args[++i] || '';
        const file = kind === 'capture' ? value.slice(value.indexOf(':') + 1) : value;
        if (kind !== 'value' && !insideSite(file)) {
          refused.push('?args= ' + args[i - 1] + ' ' + value + ' (not a file in the game\'s folder)');
        }
      }
    }
    return refused;
  }

  // ---- starting ----
  function gameArgs() {
    const args = (params.get('args') || '').split(' ').filter((a) => a.length > 0);
    // The page's button goes full screen (a browser allows it only on a click), so the game
    // plays in its canvas and asks no full-screen question.
    if (!args.includes('--windowed')) args.unshift('--windowed');
    if (watching) {
      args.push('--script', demoName);
    }
    if (recording) args.push('--record', demoName);
    return args;
  }
  // A file of the site (a path relative to the page) into the same path under the game's folder,
  // in place of any preloaded one: ?file=Data/Setup.ini sets the window size, say.
  async function fetchInto(name, url) {
    const reply = await fetch(url);
    if (!reply.ok) throw new Error(url + ': ' + reply.status + ' ' + reply.statusText);
    const path = gameDir + '/' + name;
    FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
    FS.writeFile(path, new Uint8Array(await reply.arrayBuffer()));
  }
  async function prepare() {
    FS.chdir(gameDir);
    writeSettings();
    const refused = refusals();
    if (refused.length > 0) throw new Error('Refused: ' + refused.join('; '));
    for (const name of params.getAll('file')) await fetchInto(name, name);
    if (params.has('demo')) {
      await fetchInto(demoName, params.get('demo'));
      watching = true;
    }
    if (params.has('watch')) {
      const kept = await window.ostravelRecordings.text(Number(params.get('watch')));
      if (kept === null) throw new Error('That recording is no longer kept in this browser.');
      watchText(kept);
    }
    if (watching) recording = false; // a recording is the player's own game
  }
  // A demo's text into the game's folder, to be played by the next start.
  function watchText(text) {
    FS.writeFile(gameDir + '/' + demoName, text);
    watching = true;
  }
  function start() {
    if (started) return;
    started = true;
    $('cover').hidden = true;
    $('cover').classList.remove('still');
    resumeSound();
    canvas.focus();
    hooks.started = performance.now();
    try {
      callMain(gameArgs());
    } catch (e) {
      if (!(e && e.name === 'ExitStatus')) fail(String(e));
    }
  }
  function resumeSound() {
    // Browsers start sound only after a click.
    if (typeof SDL !== 'undefined' && SDL.audioContext && SDL.audioContext.state === 'suspended') {
      SDL.audioContext.resume();
    }
  }
  function fail(text) {
    hooks.error = text;
    dialog('Error', text, true);
    cover(text, null);
    if (hooks.state !== 'ended') {
      hooks.state = 'ended';
      if (hooks.exitCode === null) hooks.exitCode = 3;
    }
  }

  $('play').onclick = () => {
    if (!started) {
      canvas.requestPointerLock();
      start();
    } else {
      canvas.requestPointerLock();
      resumeSound();
    }
  };
  $('fullscreen').onclick = () => canvas.requestFullscreen && canvas.requestFullscreen();
  $('screenshot').onclick = () => canvas.toBlob((blob) => download(
    'ostravel-' + new Date().toISOString().replace(/[:.]/g, '-') + '.png', blob), 'image/png');
  $('record').onclick = () => { location.search = '?record=1'; };
  $('again').onclick = () => {
    const keep = new URLSearchParams(params);
    keep.delete('record');
    location.search = keep.toString();
  };
  // A demo from disk joins the kept recordings and plays from there; where the browser keeps
  // nothing, a game not started yet takes it at once, whatever its length.
  $('demofile').onchange = async () => {
    const file = $('demofile').files[0];
    if (!file) return;
    const text = await file.text();
    const id = await window.ostravelRecordings.add(text, 'from ' + file.name);
    if (id !== null) {
      location.search = '?watch=' + id;
    } else if (!started && hooks.state === 'ready') {
      watchText(text);
      start();
    } else {
      dialog('Watch a demo', 'This browser keeps no files for the site: reload the page and pick the demo before playing.', true);
    }
  };
  // The recording so far, offered while the game is paused.
  $('sofar').onclick = () => offerRecording(false);
  function recordingText() {
    try {
      return new TextDecoder().decode(FS.readFile(gameDir + '/' + demoName));
    } catch (e) {
      return null;
    }
  }
  // Once the player played: at the end kept in the browser (or downloaded where it keeps
  // nothing), while paused downloaded as it stands.
  async function offerRecording(ended) {
    const text = recordingText();
    if (text === null) {
      dialog('Record', 'No recording was written.', true);
      return;
    }
    const how = hooks.exitCode !== 0 ? 'exit code ' + hooks.exitCode
      : lastCaption === 'VICTORY !' ? 'victory' : lastCaption === 'DEFEAT !' ? 'defeat' : 'quit';
    if (ended && (await window.ostravelRecordings.add(text, how)) !== null) {
      dialog('Record', 'The recording is kept in this browser: see "Recordings".', false);
    } else {
      download('ostravel-demo.txt', new Blob([text]));
    }
  }

  // How much of the data is left to come, said in megabytes.
  function left(done, total) {
    const mb = (n) => (n / 1e6).toFixed(1);
    return ' ' + mb(total - done) + ' of ' + mb(total) + ' MB left';
  }

  // ---- the Emscripten module ----
  window.Module = {
    canvas: canvas,
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    setStatus: (text) => {
      const m = text.match(/\((\d+(?:\.\d+)?)\/(\d+)\)/);
      if (m) $('bar').style.width = (100 * m[1] / m[2]) + '%';
      if (text && !started) $('status').textContent = text.replace(/\(.*\)/, '') + (m ? left(m[1], m[2]) : '');
    },
    onAbort: (what) => fail('The game stopped: ' + what),
    ostravelDialog: (caption, text) => dialog(caption, text, caption === 'Error'),
    ostravelState: (state, code) => {
      hooks.state = state;
      if (state === 'running') {
        hooks.firstFrameMs = performance.now();
        return;
      }
      hooks.exitCode = code;
      hooks.endedMs = performance.now();
      if (document.pointerLockElement) document.exitPointerLock();
      cover('The game has ended.', null);
      $('again').hidden = false;
      $('sofar').hidden = true;
      if (recording && hooks.firstFrameMs !== undefined) offerRecording(true);
    },
    ostravelPaused: (paused) => {
      $('sofar').hidden = !(paused && recording);
      if (paused) cover('Paused', 'Click to resume');
      else $('cover').hidden = true;
    },
    onRuntimeInitialized: () => {
      $('bar').style.width = '100%';
      prepare().then(() => {
        // A replay or a scripted run needs no click; a player's game waits for one.
        if (params.has('args') || watching) {
          start();
        } else {
          hooks.state = 'ready';
          cover('Ready', 'Click to play');
        }
      }, (e) => fail(String(e.message || e)));
    },
  };
  window.addEventListener('error', (e) => fail(String(e.message)));
  // A page without WebGL says so instead of showing a black canvas.
  if (!document.createElement('canvas').getContext('webgl')) {
    window.addEventListener('load', () => fail('This browser offers no WebGL: the game cannot draw.'));
  }
})();
