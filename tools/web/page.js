// The page around the browser build: loading, "Click to play", pause on a freed mouse, the
// game's message boxes as dialogs, full screen, screenshots, recording and demos, the player's
// settings, and the hooks the browser tests use (see the README, "Play in the browser").
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
  // A demo to watch: named by ?demo=URL, or picked from disk before the page reloaded.
  let watching = false;

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

  // ---- settings: the keys of ostravel.conf, kept in this browser ----
  const settings = Object.assign({ sensitivity: '1', invert: false, volume: '100' },
    JSON.parse(localStorage.getItem('ostravel.settings') || '{}'));
  $('sensitivity').value = settings.sensitivity;
  $('invert').checked = settings.invert;
  $('volume').value = settings.volume;
  for (const id of ['sensitivity', 'invert', 'volume']) {
    $(id).onchange = () => {
      settings.sensitivity = $('sensitivity').value;
      settings.invert = $('invert').checked;
      settings.volume = $('volume').value;
      localStorage.setItem('ostravel.settings', JSON.stringify(settings));
    };
  }
  function writeSettings() {
    FS.mkdirTree(home + '/.config/ostravel');
    FS.writeFile(home + '/.config/ostravel/ostravel.conf',
      'mouse_sensitivity = ' + settings.sensitivity + '\ninvert_mouse = ' +
      (settings.invert ? 'yes' : 'no') + '\nvolume = ' + settings.volume + '\n');
    writeRenderScale();
  }
  // The render scale (1.0 ... 0.25, or auto), kept on its own: a browser that draws without a
  // GPU (headless Chromium's) keeps its frame rate by drawing the world smaller.
  const scaleKey = 'ostravel.renderScale';
  $('renderscale').value = localStorage.getItem(scaleKey) || '1.0';
  $('renderscale').onchange = () => localStorage.setItem(scaleKey, $('renderscale').value);
  function writeRenderScale() {
    const conf = home + '/.config/ostravel/ostravel.conf';
    FS.writeFile(conf, FS.readFile(conf, { encoding: 'utf8' }) +
      'render_scale = ' + $('renderscale').value + '\n');
  }

  // ---- starting ----
  function gameArgs() {
    const args = (params.get('args') || '').split(' ').filter((a) => a.length > 0);
    // The page's button goes full screen (a browser allows it only on a click), so the game
    // plays in its canvas and asks no full-screen question.
    if (!args.includes('--windowed') && !args.includes('--fullscreen')) args.unshift('--windowed');
    if (watching) {
      args.push('--script', demoName);
    }
    if (recording) args.push('--record', demoName);
    return args;
  }
  // A file of the site (a path relative to the page) into the same path under the game's folder,
  // in place of any preloaded one: ?file=Data/Setup.ini sets the window size, say.
  async function fetchInto(name, url) {
    if (name.split('/').includes('..')) throw new Error(name + ': not a path inside the game');
    const reply = await fetch(url);
    if (!reply.ok) throw new Error(url + ': ' + reply.status + ' ' + reply.statusText);
    const path = gameDir + '/' + name;
    FS.mkdirTree(path.slice(0, path.lastIndexOf('/')));
    FS.writeFile(path, new Uint8Array(await reply.arrayBuffer()));
  }
  async function prepare() {
    FS.chdir(gameDir);
    writeSettings();
    for (const name of params.getAll('file')) await fetchInto(name, name);
    if (params.has('demo')) {
      await fetchInto(demoName, params.get('demo'));
      watching = true;
    }
    const kept = sessionStorage.getItem('ostravel.demo');
    if (kept !== null) {
      sessionStorage.removeItem('ostravel.demo');
      FS.writeFile(gameDir + '/' + demoName, kept);
      watching = true;
    }
  }
  function start() {
    if (started) return;
    started = true;
    $('cover').hidden = true;
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
  $('demofile').onchange = async () => {
    const file = $('demofile').files[0];
    if (!file) return;
    sessionStorage.setItem('ostravel.demo', await file.text());
    location.search = '';
  };

  // ---- the Emscripten module ----
  window.Module = {
    canvas: canvas,
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    setStatus: (text) => {
      const m = text.match(/\((\d+(?:\.\d+)?)\/(\d+)\)/);
      if (m) $('bar').style.width = (100 * m[1] / m[2]) + '%';
      if (text && !started) $('status').textContent = text.replace(/\(.*\)/, '');
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
      if (recording) {
        try {
          download('ostravel-demo.txt', new Blob([FS.readFile(gameDir + '/' + demoName)]));
        } catch (e) {
          dialog('Record', 'No recording was written.', true);
        }
      }
    },
    ostravelPaused: (paused) => {
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
