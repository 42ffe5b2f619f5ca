// The main page as the window arranges it once loaded (its compiled markup
// stays as the form engine made it):
// - the copy fields are reached with Tab, with a visible focus, and copied
//   with Enter ("ek") or Space (a click, by the page's input rules); the
//   buttons' access keys are always underlined;
// - Capture, Submit and the three fields stay in view while the messages and
//   the preview scroll under them (idCtl);
// - a line of plain actions under them: help, copy all messages, open the
//   filing folder, undo the last capture, the filing's details, save the
//   whole filing, compare it with last quarter's, open a workbook; and a place for what Submit has to say (idSub), apart
//   from the messages of the last capture.
// The array at the end is the script's result, which the host waits for.
(function(){
  var style = document.createElement('style');
  style.textContent = 'span.ak {text-decoration:underline} ' +
      '#idFf:focus, #idNe:focus, #idTot:focus, span.f13Action:focus, #idUrl:focus ' +
      '{outline:1px dotted #000080; outline-offset:1px} ' +
      'button:focus-visible {outline:2px solid #000080; outline-offset:1px} ' +
      'span.f13Action {color:#0000a0;cursor:pointer;margin-right:12px} ' +
      '#idCtl {position:sticky;top:0;z-index:2;background:#f8f8f0}';
  document.head.appendChild(style);
  ['idFf', 'idNe', 'idTot'].forEach(function(id){
    var field = document.getElementById(id);
    if (field) field.tabIndex = 0;
  });
  var message = document.getElementById('idMsg');
  if (!message || document.getElementById('idCtl')) return;
  var controls = document.createElement('div');
  controls.id = 'idCtl';
  while (message.parentNode.firstChild !== message) controls.appendChild(message.parentNode.firstChild);
  var actions = document.createElement('div');
  actions.style.cssText = 'padding:2px 0;border-bottom:1px solid #e0e0e0';
  [['idHelp', 'Help (F1)', 'hh'], ['idCopyAll', 'Copy all messages', 'cm'],
   ['idOpen', 'Open filing folder', 'of'], ['idUndo', 'Undo capture', 'uc'],
   ['idDetails', 'Filing details\u2026', 'fd'], ['idSave', 'Save filing\u2026', 'sf'],
   ['idCompare', 'Against last quarter\u2026', 'lq'],
   ['idOpenBook', 'Open spreadsheet\u2026 (Ctrl+O)', 'os']].forEach(function(action){
    var span = document.createElement('span');
    span.id = action[0];
    span.className = 'f13Action';
    span.tabIndex = 0;
    span.textContent = action[1];
    span.onclick = function(){ location = '|' + action[2] + '|' + action[0]; };
    actions.appendChild(span);
  });
  controls.appendChild(actions);
  var submit = document.createElement('div');
  submit.id = 'idSub';
  controls.appendChild(submit);
  message.parentNode.insertBefore(controls, message);
})();[true]
