'use strict';
// The page's media: files carried as data: URIs (played from blob: URLs) or
// beside the page, and sounds played to their end, as the preview plays
// them with waiting.
const QuizMedia = (() => {
  const RIGHT_DEFAULT_MS = 1000;   // when a sound cannot tell its length
  const SOUND_SLACK_MS = 2000;     // a sound that never ends is waited for this much beyond its length
  const $ = (id) => document.getElementById(id);
  function base64Bytes(text) {
    const raw = atob(text.trim());
    const bytes = new Uint8Array(raw.length);
    for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }
  // Media travel as data: URIs, which play better from a blob: URL; in a
  // package they are files beside the page, named by the block.
  const blobUrls = new Map();
  function mediaUrl(id) {
    if (!blobUrls.has(id)) {
      const uri = $(id).textContent.trim();
      if (!uri.startsWith('data:')) return uri;
      const comma = uri.indexOf(',');
      const mime = uri.slice(5, uri.indexOf(';'));
      blobUrls.set(id, URL.createObjectURL(new Blob([base64Bytes(uri.slice(comma + 1))], { type: mime })));
    }
    return blobUrls.get(id);
  }

  // Plays to the end (or until its length plus some slack has passed, or at
  // once when it cannot play), like the preview's sounds played with waiting.
  function playToEnd(audio) {
    return new Promise((resolve) => {
      let done = false;
      const finish = () => { if (!done) { done = true; resolve(); } };
      audio.addEventListener('ended', finish, { once: true });
      audio.addEventListener('error', finish, { once: true });
      const guard = () => {
        const len = isFinite(audio.duration) && audio.duration > 0 ? audio.duration * 1000 : RIGHT_DEFAULT_MS;
        window.setTimeout(finish, Math.min(len, 600000) + SOUND_SLACK_MS);
      };
      if (audio.readyState >= 1) guard(); else audio.addEventListener('loadedmetadata', guard, { once: true });
      window.setTimeout(finish, 600000 + SOUND_SLACK_MS);
      audio.currentTime = 0;
      const p = audio.play();
      if (p && p.catch) {
        p.catch(() => {
          // No sound allowed or possible: wait the sound's own length, as
          // the preview does without a sound card.
          const len = isFinite(audio.duration) && audio.duration > 0 ? audio.duration * 1000 : RIGHT_DEFAULT_MS;
          window.setTimeout(finish, len);
        });
      }
    });
  }
  function playAsync(audio) {
    audio.currentTime = 0;
    const p = audio.play();
    if (p && p.catch) p.catch(() => {});
  }

  return { base64Bytes, mediaUrl, playToEnd, playAsync };
})();
