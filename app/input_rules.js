// The input rules that depend on the focused element, run by the page so that
// a key never waits for an answer: Enter raises "ek|" and the focused
// element's id and does nothing more (a focused button is not pressed).
// Space on a span that can have the focus and clicks clicks it, as it presses
// a button, and so does Enter when the span has no id to name.
(function(){
  function stop(e){ e.preventDefault(); e.stopImmediatePropagation(); }
  document.addEventListener('keydown', function(e){
    var t = document.activeElement, id = (t && t.id) || '';
    if (e.key == 'Enter') {
      stop(e);
      if (!id && t && t.tagName == 'SPAN' && t.tabIndex >= 0 && t.onclick) { t.click(); return; }
      location = '|ek|' + id;
    } else if (e.key == ' ' && t && t.tagName == 'SPAN' && t.tabIndex >= 0 && t.onclick) {
      stop(e);
      t.click();
    }
  }, true);
})();
