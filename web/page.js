'use strict';
// The page's behaviour: takes one file, dropped anywhere or chosen with the
// button, runs the compiled converter and landinfo on it (page_api.cpp), then
// shows the verdict first, landinfo's report and the level's picture, and
// offers the files to save.
//
// The work runs on the page's own thread: a Web Worker would need a second
// script file or a blob: script, and a page opened from file:// may start
// neither in every browser. So the page paints its progress state before the
// work starts; the work itself is one call into the module.
(function () {
  // page_api.cpp's numbers.
  const Kind = { Picture: 1, LandFile: 2, Unreadable: 3 };
  const Output = { LandFile: 0, LevelBitmap: 1 };

  const $ = (id) => document.getElementById(id);
  const ui = {
    choose: $('choose'), input: $('file-input'), outcome: $('outcome'), busy: $('busy'),
    busyText: $('busy-text'), result: $('result'), headline: $('headline'),
    verdictWho: $('verdict-who'), verdictLine: $('verdict-line'), verdictNote: $('verdict-note'),
    advice: $('advice'),
    adviceList: $('advice-list'), saveLand: $('save-land'), saveBitmap: $('save-bitmap'),
    saveWhy: $('save-why'), preview: $('preview'), previewEmpty: $('preview-empty'),
    previewCaption: $('preview-caption'), report: $('report'),
  };

  // The compiled module, started at once; started anew after a failure,
  // which leaves a module unusable.
  let module = null;
  function converter() {
    if (!module) module = createPageModule();
    return module;
  }
  converter().then(
    () => { document.documentElement.dataset.converter = 'ready'; },
    () => { module = null; });

  const nextPaint = () =>
    new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));

  function cString(m, pointer) {
    const heap = m.HEAPU8;
    let end = pointer;
    while (heap[end] !== 0) end += 1;
    return new TextDecoder().decode(heap.subarray(pointer, end));
  }

  // Hands the bytes to page_inspect and copies out what the page shows, so
  // that nothing stays in the module's memory.
  function inspect(m, bytes, fileSize, name) {
    const nameBytes = new TextEncoder().encode(name + '\0');
    const data = m._malloc(Math.max(bytes.length, 1));
    const namePointer = m._malloc(nameBytes.length);
    try {
      m.HEAPU8.set(bytes, data);
      m.HEAPU8.set(nameBytes, namePointer);
      const result = m._page_inspect(data, bytes.length, fileSize, namePointer);
      try {
        const file = (which) => {
          const size = m._page_file_size(result, which);
          if (size === 0) return null;
          const at = m._page_file_data(result, which);
          return m.HEAPU8.slice(at, at + size);
        };
        return {
          kind: m._page_kind(result),
          converts: m._page_converts(result) === 1,
          verdict: cString(m, m._page_verdict(result)),
          report: cString(m, m._page_report(result)),
          landFile: file(Output.LandFile),
          levelBitmap: file(Output.LevelBitmap),
        };
      } finally {
        m._page_release(result);
      }
    } finally {
      m._free(data);
      m._free(namePointer);
    }
  }

  // What is offered for saving: bytes and a name, or the reason there is none.
  const saving = {
    land: { bytes: null, why: '' },
    bitmap: { bytes: null, why: '' },
  };
  let previewUrl = null;
  let shown = 0;  // the latest file taken; an earlier one still running is dropped

  function setBusy(text) {
    ui.outcome.dataset.state = 'busy';
    ui.outcome.setAttribute('aria-busy', 'true');
    ui.busyText.textContent = text;
    ui.busy.hidden = false;
    ui.result.hidden = true;
  }

  function offer(button, slot, bytes, why) {
    slot.bytes = bytes;
    slot.why = why;
    button.setAttribute('aria-disabled', bytes ? 'false' : 'true');
  }

  // The facts landinfo printed, as "name: value" lines.
  function fact(report, name) {
    const line = report.split('\n').find((l) => l.startsWith(name + ': '));
    return line ? line.slice(name.length + 2) : null;
  }

  // landinfo's lines of one kind ("hint", "warning"), without their label.
  function labelled(report, label) {
    const start = label + ': ';
    return report.split('\n').filter((l) => l.startsWith(start)).map((l) => l.slice(start.length));
  }

  function showPicture(bytes, type, alt, caption) {
    if (previewUrl) URL.revokeObjectURL(previewUrl);
    previewUrl = null;
    ui.preview.hidden = true;
    ui.previewCaption.hidden = true;
    ui.previewEmpty.hidden = false;
    if (!bytes) {
      ui.previewEmpty.textContent = caption;
      return;
    }
    previewUrl = URL.createObjectURL(new Blob([bytes], { type }));
    ui.preview.onload = () => {
      ui.preview.hidden = false;
      ui.previewEmpty.hidden = true;
      ui.previewCaption.hidden = false;
    };
    ui.preview.onerror = () => {
      ui.previewEmpty.textContent = 'This browser cannot show the picture.';
    };
    ui.preview.alt = alt;
    ui.previewCaption.textContent = caption;
    ui.previewEmpty.textContent = 'Drawing the picture…';
    ui.preview.src = previewUrl;
  }

  function describeLevel(name, report) {
    const objects = fact(report, 'objects');
    const land = fact(report, 'land pixels');
    let text = 'The level of ' + name + ', 1920 by 696 pixels';
    if (objects !== null) text += ', with ' + objects + ' objects';
    if (land !== null) text += ' and ' + land + ' pixels of land';
    return text + '.';
  }

  // The picture beside the report: the level bitmap where there is one,
  // else the picture as dropped, where the browser can draw it. (The level's
  // preview PNG, with its objects marked, takes the level bitmap's place once
  // the module makes one: a third output of page_inspect.)
  function showPreview(file, bytes, r) {
    if (r.levelBitmap) {
      const caption = r.kind === Kind.LandFile
        ? 'The land file\'s picture, as level.bmp gives it (objects in magenta).'
        : 'The level bitmap.';
      showPicture(r.levelBitmap, 'image/bmp', describeLevel(file.name, r.report), caption);
    } else if (r.kind === Kind.Picture) {
      showPicture(bytes, file.type,
                  'The picture in ' + file.name + ', as dropped; it does not convert.',
                  'The picture as dropped. It does not convert: see above.');
    } else {
      showPicture(null, '', '', 'No picture to show: ' + file.name + ' is not a level.');
    }
  }

  function showResult(file, bytes, r, extraAdvice) {
    const name = file.name;
    let state;
    let headline;
    let who;
    let advice = [];
    if (r.kind === Kind.Picture && r.converts) {
      state = 'converts';
      headline = name + ' converts';
      who = 'bmp2land says';
      // It converts, but landinfo may see land the level will not colour.
      advice = labelled(r.report, 'warning');
      offer(ui.saveLand, saving.land, r.landFile, '');
      offer(ui.saveBitmap, saving.bitmap, r.levelBitmap, '');
      ui.saveWhy.textContent = 'land.dat is the file bmp2land makes from ' + name +
        ', byte for byte; level.bmp is the bitmap it was made from.';
    } else if (r.kind === Kind.Picture) {
      state = 'refused';
      headline = name + ' does not convert';
      who = 'bmp2land says';
      advice = labelled(r.report, 'hint');
      if (advice.length === 0) advice = ['landinfo\'s report below lists what it found.'];
      const why = 'Nothing to save: bmp2land does not convert ' + name + '.';
      offer(ui.saveLand, saving.land, null, why);
      offer(ui.saveBitmap, saving.bitmap, null, why);
      ui.saveWhy.textContent = why;
    } else if (r.kind === Kind.LandFile) {
      state = 'land';
      headline = name + ' is a land file';
      who = '';
      offer(ui.saveLand, saving.land, null, name + ' already is a land file.');
      offer(ui.saveBitmap, saving.bitmap, r.levelBitmap, '');
      ui.saveWhy.textContent = 'level.bmp is its picture as landinfo exports it: edit it, ' +
        'then drop it here to make a land.dat again.';
    } else {
      state = 'unreadable';
      headline = name + ' is neither a level bitmap nor a land file';
      who = 'landinfo says';
      advice = ['Drop a level bitmap (a 1920 × 696 BMP with 256 colours) or a land.dat.'];
      const why = 'Nothing to save: ' + name + ' is not a level.';
      offer(ui.saveLand, saving.land, null, why);
      offer(ui.saveBitmap, saving.bitmap, null, why);
      ui.saveWhy.textContent = why;
    }
    advice = advice.concat(extraAdvice);

    ui.headline.textContent = headline;
    ui.verdictWho.textContent = who;
    ui.verdictLine.textContent = r.verdict;
    ui.verdictLine.hidden = r.kind === Kind.LandFile;
    ui.verdictNote.textContent = r.kind === Kind.LandFile ? landNote(r.report) : '';
    ui.adviceList.replaceChildren(...advice.map((text) => {
      const item = document.createElement('li');
      item.textContent = text;
      return item;
    }));
    ui.advice.hidden = advice.length === 0;
    ui.report.textContent = r.report || '(landinfo prints no report on this file.)';
    showPreview(file, bytes, r);
    finish(state);
  }

  // For a land file, what its summary says in short.
  function landNote(report) {
    const objects = fact(report, 'objects');
    const land = fact(report, 'land pixels');
    let note = 'Read whole';
    if (objects !== null && land !== null) {
      note += ': ' + objects + ' objects, ' + land + ' pixels of land';
    }
    return note + (fact(report, 'round trip') === 'exact'
      ? '. Its bitmap converts back to this very file.'
      : '. Its bitmap converts back to a different file: the report\'s notes say why.');
  }

  function showFailure(file, error) {
    ui.headline.textContent = 'The page could not finish checking ' + file.name;
    ui.verdictWho.textContent = 'The browser says';
    ui.verdictLine.textContent = String(error && error.message ? error.message : error);
    ui.verdictLine.hidden = false;
    ui.verdictNote.textContent = '';
    ui.adviceList.replaceChildren();
    const item = document.createElement('li');
    item.textContent = 'The file may be too large for this browser\'s memory. ' +
      'Drop it again, or use bmp2land and landinfo on the command line.';
    ui.adviceList.append(item);
    ui.advice.hidden = false;
    const why = 'Nothing to save: the check did not finish.';
    offer(ui.saveLand, saving.land, null, why);
    offer(ui.saveBitmap, saving.bitmap, null, why);
    ui.saveWhy.textContent = why;
    ui.report.textContent = '';
    showPicture(null, '', '', 'No picture to show.');
    finish('failed');
  }

  function finish(state) {
    ui.busy.hidden = true;
    ui.result.hidden = false;
    ui.outcome.dataset.state = state;
    ui.outcome.setAttribute('aria-busy', 'false');
    performance.mark('bmp2land:verdict');
    document.dispatchEvent(new CustomEvent('bmp2land:shown', { detail: state }));
  }

  async function takeFile(file, others) {
    const ticket = ++shown;
    performance.mark('bmp2land:file');
    setBusy('Reading ' + file.name + '…');
    const extraAdvice = others > 0
      ? ['Only ' + file.name + ' was read: drop one file at a time.'] : [];
    let m;
    let bytes;
    try {
      m = await converter();
      bytes = new Uint8Array(await file.slice(0, m._page_read_limit()).arrayBuffer());
      if (ticket !== shown) return;
      setBusy('Checking ' + file.name + '…');
      await nextPaint();
      if (ticket !== shown) return;
      const r = inspect(m, bytes, file.size, file.name);
      if (ticket !== shown) return;
      showResult(file, bytes, r, extraAdvice);
    } catch (error) {
      module = null;
      if (ticket === shown) showFailure(file, error);
    }
  }

  function save(slot, name) {
    if (!slot.bytes) return;
    const url = URL.createObjectURL(new Blob([slot.bytes], { type: 'application/octet-stream' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  ui.choose.addEventListener('click', () => ui.input.click());
  ui.input.addEventListener('change', () => {
    const files = ui.input.files;
    if (files && files.length > 0) takeFile(files[0], files.length - 1);
    ui.input.value = '';  // so that the same file can be chosen again
  });
  ui.saveLand.addEventListener('click', () => save(saving.land, 'land.dat'));
  ui.saveBitmap.addEventListener('click', () => save(saving.bitmap, 'level.bmp'));

  // A file dropped anywhere on the page; the page shows where it will go.
  const carriesFiles = (event) =>
    event.dataTransfer && Array.from(event.dataTransfer.types || []).includes('Files');
  let dragDepth = 0;
  document.addEventListener('dragenter', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    dragDepth += 1;
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragover', (event) => {
    if (!carriesFiles(event)) return;
    event.preventDefault();
    event.dataTransfer.dropEffect = 'copy';
  });
  document.addEventListener('dragleave', () => {
    dragDepth = Math.max(0, dragDepth - 1);
    if (dragDepth === 0) document.body.classList.remove('dragging');
  });
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    dragDepth = 0;
    document.body.classList.remove('dragging');
    const files = event.dataTransfer ? event.dataTransfer.files : null;
    if (files && files.length > 0) takeFile(files[0], files.length - 1);
  });
})();
