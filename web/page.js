'use strict';
// The page's behaviour: takes one file, dropped anywhere or chosen with the
// button, runs the compiled converter and landinfo on it (page_api.cpp), then
// shows the verdict first and landinfo's report, offers the files to save,
// and then draws the level's preview.
//
// The work runs on the page's own thread: a Web Worker would need a second
// script file or a blob: script, and a page opened from file:// may start
// neither in every browser. So the page paints its progress state before the
// work starts, and the verdict before the preview, which takes longer (its
// PNG encoding, most of all): two calls into the module.
(function () {
  // page_api.cpp's numbers.
  const Kind = { Picture: 1, LandFile: 2, Unreadable: 3, Drawing: 4, NoLevel: 5 };
  const Output = { LandFile: 0, LevelBitmap: 1, Preview: 2 };

  const $ = (id) => document.getElementById(id);
  const ui = {
    choose: $('choose'), input: $('file-input'), outcome: $('outcome'), busy: $('busy'),
    busyText: $('busy-text'), result: $('result'), headline: $('headline'),
    verdictWho: $('verdict-who'), verdictLine: $('verdict-line'), verdictNote: $('verdict-note'),
    advice: $('advice'),
    adviceList: $('advice-list'), saveLand: $('save-land'), saveBitmap: $('save-bitmap'),
    savePreview: $('save-preview'), saveWhy: $('save-why'), preview: $('preview'),
    previewFigure: $('preview-figure'), previewEmpty: $('preview-empty'),
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

  // One of a result's files, copied out of the module's memory.
  function fileOf(m, result, which) {
    const size = m._page_file_size(result, which);
    if (size === 0) return null;
    const at = m._page_file_data(result, which);
    return m.HEAPU8.slice(at, at + size);
  }

  // Hands the bytes to page_inspect, which keeps them for the preview, and
  // copies out what the page shows. The result stays in the module until
  // release(), after the preview.
  function inspect(m, bytes, fileSize, name) {
    const nameBytes = new TextEncoder().encode(name + '\0');
    const data = m._malloc(Math.max(bytes.length, 1));
    const namePointer = m._malloc(nameBytes.length);
    if (!data || !namePointer) {
      // malloc answers 0 where the browser lets the memory grow no further:
      // writing there would overwrite the module's own data.
      m._free(data);
      m._free(namePointer);
      throw new Error('There is not enough memory to read ' + name + '.');
    }
    let result = 0;
    try {
      m.HEAPU8.set(bytes, data);
      m.HEAPU8.set(nameBytes, namePointer);
      result = m._page_inspect(data, bytes.length, fileSize, namePointer);
    } catch (error) {
      if (!result) m._free(data);
      throw error;
    } finally {
      m._free(namePointer);
    }
    try {
      return {
        handle: result,
        kind: m._page_kind(result),
        converts: m._page_converts(result) === 1,
        verdict: cString(m, m._page_verdict(result)),
        report: cString(m, m._page_report(result)),
        landFile: fileOf(m, result, Output.LandFile),
        levelBitmap: fileOf(m, result, Output.LevelBitmap),
      };
    } catch (error) {
      m._page_release(result);
      throw error;
    }
  }

  // The level's preview, `landinfo FILE level.png`'s PNG; then the result
  // is released.
  function drawPreview(m, r) {
    try {
      m._page_preview(r.handle);
      return fileOf(m, r.handle, Output.Preview);
    } finally {
      m._page_release(r.handle);
    }
  }

  // What is offered for saving: bytes and a name, or the reason there is none.
  const saving = {
    land: { bytes: null, why: '' },
    bitmap: { bytes: null, why: '' },
    preview: { bytes: null, why: '' },
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

  // A first number in a fact: "30" of "30, 12 of them from blots (...)".
  function count(report, name) {
    const value = fact(report, name);
    return value === null ? null : value.split(/[ ,]/)[0];
  }

  // The picture's text alternative, from the report: what the picture shows.
  function describePreview(name, r) {
    const objects = count(r.report, 'objects');
    const land = fact(r.report, 'land pixels');
    const of = r.kind === Kind.Drawing ? 'the level made of ' + name : name;
    if (objects === null || land === null) {
      // A damaged land file shows what was read of it before the damage.
      return 'Preview of ' + of + ': what could be read of its level, and grey stripes ' +
        'where nothing could. ' + (r.verdict ? 'In its corner: ' + r.verdict : '');
    }
    let text = 'Preview of ' + of + ': ' + objects + ' objects, each ringed and numbered; ' +
      land.replace(/ of .*/, '') + ' of its 1920 by 696 pixels land, the sky in pale blue';
    if (r.kind === Kind.LandFile || r.converts) return text + '.';
    text += '. In its corner, the verdict: ' + r.verdict;
    return text;
  }

  // The preview, once drawn: the picture scaled to the window, with its text
  // alternative, or why there is none.
  function showPreview(bytes, alt) {
    if (previewUrl) URL.revokeObjectURL(previewUrl);
    previewUrl = null;
    ui.previewFigure.setAttribute('aria-busy', 'false');
    if (!bytes) {
      ui.previewEmpty.textContent = 'This page could not draw a picture of the level.';
      offer(ui.savePreview, saving.preview, null, '');
      document.dispatchEvent(new CustomEvent('bmp2land:preview', { detail: false }));
      return;
    }
    previewUrl = URL.createObjectURL(new Blob([bytes], { type: 'image/png' }));
    ui.preview.onload = () => {
      ui.preview.hidden = false;
      ui.previewEmpty.hidden = true;
      ui.previewCaption.hidden = false;
      document.dispatchEvent(new CustomEvent('bmp2land:preview', { detail: true }));
    };
    ui.preview.onerror = () => {
      ui.previewEmpty.textContent = 'This browser cannot show the picture.';
      document.dispatchEvent(new CustomEvent('bmp2land:preview', { detail: false }));
    };
    ui.preview.alt = alt;
    ui.previewCaption.textContent = 'The level as landinfo draws it, one pixel a pixel: each ' +
      'object ringed in yellow and numbered, what is wrong in red and named in the corner.';
    ui.preview.src = previewUrl;
    offer(ui.savePreview, saving.preview, bytes, '');
  }

  // Until the preview is drawn: the picture's place says so.
  function awaitPreview() {
    if (previewUrl) URL.revokeObjectURL(previewUrl);
    previewUrl = null;
    ui.preview.hidden = true;
    ui.preview.removeAttribute('src');
    ui.previewCaption.hidden = true;
    ui.previewEmpty.hidden = false;
    ui.previewEmpty.textContent = 'Drawing the level\'s picture…';
    ui.previewFigure.setAttribute('aria-busy', 'true');
    offer(ui.savePreview, saving.preview, null, '');
  }

  function showResult(file, r, extraAdvice) {
    const name = file.name;
    let state;
    let headline;
    let who = 'bmp2land says';
    let advice = [];
    const refuse = (why) => {
      offer(ui.saveLand, saving.land, null, why);
      offer(ui.saveBitmap, saving.bitmap, null, why);
      ui.saveWhy.textContent = why;
    };
    if (r.kind === Kind.Picture && r.converts) {
      state = 'converts';
      headline = name + ' converts';
      // It converts, but landinfo may see land the level will not colour.
      advice = labelled(r.report, 'warning');
      offer(ui.saveLand, saving.land, r.landFile, '');
      offer(ui.saveBitmap, saving.bitmap, r.levelBitmap, '');
      ui.saveWhy.textContent = 'land.dat is the file bmp2land makes from ' + name +
        ', byte for byte; level.bmp is the bitmap it was made from.';
    } else if (r.kind === Kind.Picture) {
      state = 'refused';
      headline = name + ' does not convert';
      advice = labelled(r.report, 'hint').concat(labelled(r.report, 'warning'));
      if (advice.length === 0) advice = ['landinfo\'s report below lists what it found.'];
      refuse('Nothing to save: bmp2land does not convert ' + name + '.');
    } else if (r.kind === Kind.Drawing) {
      // landinfo made the level bitmap; bmp2land's verdict is on that.
      who = 'bmp2land says of level.bmp';
      offer(ui.saveBitmap, saving.bitmap, r.levelBitmap, '');
      advice = labelled(r.report, 'hint').concat(labelled(r.report, 'warning'));
      if (r.converts) {
        state = 'converts';
        headline = name + ' makes a level that converts';
        offer(ui.saveLand, saving.land, r.landFile, '');
        ui.saveWhy.textContent = 'level.bmp is the level bitmap landinfo made of ' + name +
          '; land.dat is the file bmp2land makes from it, byte for byte.';
      } else {
        state = 'refused';
        headline = name + ' makes a level that does not convert yet';
        const why = 'No land.dat: bmp2land does not convert the level. level.bmp is the ' +
          'level as made of ' + name + ', to fix in a paint program.';
        offer(ui.saveLand, saving.land, null, why);
        ui.saveWhy.textContent = why;
      }
    } else if (r.kind === Kind.NoLevel) {
      state = 'refused';
      headline = name + ' cannot become a level';
      who = 'landinfo says';
      refuse('Nothing to save: ' + name + ' gives no level.');
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
      headline = name + ' is neither a drawing nor a land file';
      who = 'landinfo says';
      advice = ['Drop a drawing (a 1920 × 696 PNG or BMP) or a land.dat.'];
      refuse('Nothing to save: ' + name + ' is not a level.');
    }
    advice = advice.concat(extraAdvice);
    // A level that converts with warnings is not done yet: say so first.
    const warned = state === 'converts' && labelled(r.report, 'warning').length > 0;
    if (warned) headline += ', but read the warnings below';
    ui.outcome.dataset.warned = String(warned);

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
    awaitPreview();
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

  // What to do when the check did not finish: the file could not be read
  // (a folder, a file moved away), or the module failed on it.
  const kReadAdvice = 'The browser could not read it: drop a file rather than a folder, ' +
    'and check that it is still where it was.';
  const kModuleAdvice = 'The file may be too large for this browser\'s memory. ' +
    'Drop it again, or use bmp2land and landinfo on the command line.';

  function showFailure(file, error, advice) {
    ui.headline.textContent = 'The page could not finish checking ' + file.name;
    ui.verdictWho.textContent = 'The browser says';
    ui.verdictLine.textContent = String(error && error.message ? error.message : error);
    ui.verdictLine.hidden = false;
    ui.verdictNote.textContent = '';
    ui.adviceList.replaceChildren();
    const item = document.createElement('li');
    item.textContent = advice;
    ui.adviceList.append(item);
    ui.advice.hidden = false;
    const why = 'Nothing to save: the check did not finish.';
    offer(ui.saveLand, saving.land, null, why);
    offer(ui.saveBitmap, saving.bitmap, null, why);
    ui.saveWhy.textContent = why;
    ui.report.textContent = '';
    awaitPreview();
    ui.previewFigure.setAttribute('aria-busy', 'false');
    ui.previewEmpty.textContent = 'No picture to show.';
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
      try {
        bytes = new Uint8Array(await file.slice(0, m._page_read_limit()).arrayBuffer());
      } catch (error) {
        if (ticket === shown) showFailure(file, error, kReadAdvice);
        return;
      }
      if (ticket !== shown) return;
      setBusy('Checking ' + file.name + '…');
      await nextPaint();
      if (ticket !== shown) return;
      const r = inspect(m, bytes, file.size, file.name);
      if (ticket !== shown) {
        m._page_release(r.handle);
        return;
      }
      showResult(file, r, extraAdvice);
      // The verdict is painted before the preview is drawn.
      await nextPaint();
      if (ticket !== shown) {
        m._page_release(r.handle);
        return;
      }
      const preview = drawPreview(m, r);
      if (ticket === shown) showPreview(preview, describePreview(file.name, r));
    } catch (error) {
      module = null;
      if (ticket === shown) showFailure(file, error, kModuleAdvice);
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
  ui.savePreview.addEventListener('click', () => save(saving.preview, 'preview.png'));

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
