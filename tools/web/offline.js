// The copy of the site kept in this browser (sw.js, the service worker): registered on each
// visit. The page says when it plays from the kept copy and when a new version was taken; the
// new version plays from the next visit, or at once on "Play the new version".
'use strict';
(function () {
  const $ = (id) => document.getElementById(id);
  const hooks = window.ostravel;
  if (!('serviceWorker' in navigator)) return;
  hooks.fromCopy = navigator.serviceWorker.controller !== null;
  if (hooks.fromCopy) $('offline').textContent = 'Playing from the copy kept in this browser.';
  function taken(worker) {
    const said = () => {
      if (worker.state !== 'installed' || !navigator.serviceWorker.controller) return;
      $('offline').textContent = 'A new version was taken: it plays from the next visit.';
      $('newversion').hidden = false;
      $('newversion').onclick = () => worker.postMessage('take');
    };
    worker.addEventListener('statechange', said);
    said();
  }
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (!$('newversion').hidden) location.reload();
  });
  navigator.serviceWorker.register('sw.js').then((registration) => {
    if (registration.waiting) taken(registration.waiting);
    registration.addEventListener('updatefound', () => taken(registration.installing));
  }, (e) => { $('offline').textContent = 'This browser keeps no copy for playing offline (' + e.message + ').'; });
  navigator.serviceWorker.ready.then(() => {
    hooks.kept = true;
    if (!hooks.fromCopy) $('offline').textContent = 'Kept in this browser: it plays offline from the next visit.';
  });
})();
