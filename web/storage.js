// The game's saved files (settings, scores, controls, replays) live in the page's memory while
// it runs; this keeps a copy of each in the browser's IndexedDB. Before the game starts every
// kept file is put back where the game reads it. After each save the game hands over that one
// file (and after a removal forgets that one), so a second tab never deletes what the first
// saved. A browser that refuses or fails the storage (private mode, quota) is told to the
// player once, through Module.onStorageProblem, and the game plays on without it.
var plembyStorage = { db: null, failed: false };

function reportStorageProblem(why) {
  if (plembyStorage.failed) return;
  plembyStorage.failed = true;
  plembyStorage.db = null;
  console.warn('plemby: the browser does not keep the saved files: ' + why);
  if (Module['onStorageProblem']) Module['onStorageProblem'](String(why));
}

function restoreStoredFiles(db, done) {
  var transaction = db.transaction('files', 'readonly');
  var request = transaction.objectStore('files').openCursor();
  request.onsuccess = function () {
    var cursor = request.result;
    if (!cursor) return;
    var path = String(cursor.key);
    try {
      FS.mkdirTree(path.substring(0, path.lastIndexOf('/')));
      FS.writeFile(path, new Uint8Array(cursor.value));
    } catch (e) {
      console.warn('plemby: a kept file could not be put back: ' + path);
    }
    cursor['continue']();
  };
  transaction.oncomplete = done;
  transaction.onerror = transaction.onabort = function () {
    reportStorageProblem(transaction.error || 'reading failed');
    done();
  };
}

Module['preRun'] = [].concat(Module['preRun'] || [], function () {
  addRunDependency('plemby-storage');
  var done = function () { removeRunDependency('plemby-storage'); };
  var request;
  try {
    request = indexedDB.open('plemby', 1);
  } catch (e) {
    reportStorageProblem(e);
    done();
    return;
  }
  request.onupgradeneeded = function () { request.result.createObjectStore('files'); };
  request.onsuccess = function () {
    plembyStorage.db = request.result;
    restoreStoredFiles(plembyStorage.db, done);
  };
  request.onerror = request.onblocked = function (event) {
    if (event) event.preventDefault();
    reportStorageProblem(request.error || 'opening failed');
    done();
  };
});

function changeStoredFile(path, change) {
  var db = plembyStorage.db;
  if (!db) return;
  try {
    var transaction = db.transaction('files', 'readwrite');
    change(transaction.objectStore('files'));
    transaction.onabort = function () { reportStorageProblem(transaction.error || 'aborted'); };
  } catch (e) {
    reportStorageProblem(e);
  }
}

function keepStoredFile(path) {
  var bytes;
  try {
    bytes = FS.readFile(path);
  } catch (e) {
    return;
  }
  changeStoredFile(path, function (store) { store.put(bytes, path); });
}

function forgetStoredFile(path) {
  changeStoredFile(path, function (store) { store['delete'](path); });
}
