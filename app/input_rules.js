// The input rules that depend on the focused element, run by the page so that
// a key never waits for an answer: Enter in a text area without "ek" makes a
// new line; with ek="n" nothing happens, its key-up included; anywhere else
// Enter raises "ek|" and the focused element's id and does nothing more (a
// focused button is not pressed). Space on a span that can have the focus and
// clicks clicks it, as it presses a button, and so does Enter when the span
// has no id to name. Undo and redo are refused in text areas, which the host
// names by their type codes in f13TextAreaCodes.
(function(){
  var swallowKeyUp = false;
  function stop(e){ e.preventDefault(); e.stopImmediatePropagation(); }
  document.addEventListener('keydown', function(e){
    var t = document.activeElement, id = (t && t.id) || '';
    var textArea = f13TextAreaCodes.indexOf(id.substring(0, 2)) >= 0;
    if (e.key == 'Enter') {
      if (textArea) {
        var ek = t.getAttribute('ek');
        if (ek === null) return;
        if (ek == 'n') { stop(e); swallowKeyUp = true; return; }
      }
      stop(e);
      if (!id && t && t.tagName == 'SPAN' && t.tabIndex >= 0 && t.onclick) { t.click(); return; }
      location = '|ek|' + id;
    } else if (e.key == ' ' && t && t.tagName == 'SPAN' && t.tabIndex >= 0 && t.onclick) {
      stop(e);
      t.click();
    } else if (e.ctrlKey && (e.keyCode == 90 || e.keyCode == 89) && textArea) {
      stop(e);
    }
  }, true);
  document.addEventListener('keyup', function(e){
    if (swallowKeyUp) { swallowKeyUp = false; stop(e); }
  }, true);
})();
