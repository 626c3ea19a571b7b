// Glidra's KWin script, for Plasma 5.27 and 6. A KWin script can only call
// out, so Glidra serves it: the script reports the active window whenever it
// changes, and fetches Glidra's window requests with a call that Glidra
// answers once it has one (or after a while, with nothing to do). Each call
// for the next request carries the outcome of the last one. All of it goes as
// JSON text, which callDBus hands over alike on every version.

const SERVICE = "io.github.glidra.Glidra.KWin";
const PATH = "/io/github/glidra/Glidra/KWin";
const INTERFACE = "io.github.glidra.Glidra.KWin1";
// Glidra answers a held call within 20 s; one older than this was lost.
const LOST_CALL_MS = 30000;
// How long a window may take to reach a new frame: a Wayland client draws its
// new size when it gets to it.
const SETTLE_MS = 250;

// Plasma 6 speaks of windows, Plasma 5 of clients.
const plasma6 = typeof workspace.windowList === "function";

function activeWindow() {
    return plasma6 ? workspace.activeWindow : workspace.activeClient;
}

function setActiveWindow(window) {
    if (plasma6) {
        workspace.activeWindow = window;
    } else {
        workspace.activeClient = window;
    }
}

function allWindows() {
    return plasma6 ? workspace.windowList() : workspace.clientList();
}

// Plasma 5 gives some names as byte arrays.
function text(value) {
    if (value === undefined || value === null) {
        return "";
    }
    if (typeof value === "string") {
        return value;
    }
    try {
        return String.fromCharCode.apply(null, new Uint8Array(value));
    } catch (e) {
        return String(value);
    }
}

function idOf(window) {
    return String(window.internalId);
}

function describe(window) {
    if (!window) {
        return {};
    }
    const frame = window.frameGeometry;
    const least = window.minSize;
    return {
        id: idOf(window),
        desktopFile: text(window.desktopFileName),
        resourceClass: text(window.resourceClass),
        pid: window.pid,
        title: text(window.caption),
        x: frame.x,
        y: frame.y,
        width: frame.width,
        height: frame.height,
        fullScreen: window.fullScreen,
        minWidth: least ? least.width : 0,
        minHeight: least ? least.height : 0,
    };
}

function report() {
    callDBus(SERVICE, PATH, INTERFACE, "Report", JSON.stringify(describe(activeWindow())));
}

let watched = null;

function watch(window) {
    if (watched) {
        watched.captionChanged.disconnect(report);
        watched.frameGeometryChanged.disconnect(report);
        watched.fullScreenChanged.disconnect(report);
    }
    watched = window;
    if (watched) {
        watched.captionChanged.connect(report);
        watched.frameGeometryChanged.connect(report);
        watched.fullScreenChanged.connect(report);
    }
}

function windowWithId(id) {
    return allWindows().find(function (window) {
        return idOf(window) === id;
    });
}

function windowsOf(pid) {
    return allWindows().filter(function (window) {
        return window.pid === pid && window.normalWindow && !window.skipTaskbar;
    });
}

function reached(window, request) {
    const frame = window.frameGeometry;
    return frame.x === request.x && frame.y === request.y && frame.width === request.width &&
        frame.height === request.height;
}

// Answers once the window has the frame asked for, or had its time.
function moveResize(window, request, answer) {
    if (!(request.width > 0 && request.height > 0)) {
        answer(false);
        return;
    }
    window.setMaximize(false, false);
    window.frameGeometry = {x: request.x, y: request.y, width: request.width, height: request.height};
    if (reached(window, request)) {
        answer(true);
        return;
    }
    const timer = new QTimer();
    let finished = false;
    function finish() {
        if (finished) {
            return;
        }
        finished = true;
        timer.stop();
        let done = false;
        try {
            window.frameGeometryChanged.disconnect(check);
            done = reached(window, request);
        } catch (e) {
            // closed meanwhile
        }
        answer(done);
    }
    function check() {
        if (reached(window, request)) {
            finish();
        }
    }
    window.frameGeometryChanged.connect(check);
    timer.singleShot = true;
    timer.interval = SETTLE_MS;
    timer.timeout.connect(finish);
    timer.start();
}

// Carries the request out and hands `answer` whether it was done.
function carryOut(request, answer) {
    if (request.op === "activateProcess") {
        const windows = windowsOf(request.pid);
        if (windows.length > 0) {
            setActiveWindow(windows[windows.length - 1]);
        }
        answer(windows.length > 0);
        return;
    }
    if (request.op === "minimizeProcess") {
        const windows = windowsOf(request.pid).filter(function (window) {
            return window.minimizable;
        });
        windows.forEach(function (window) {
            window.minimized = true;
        });
        answer(windows.length > 0);
        return;
    }
    const window = windowWithId(request.window);
    if (!window) {
        answer(false);
        return;
    }
    if (request.op === "moveResize") {
        moveResize(window, request, answer);
    } else if (request.op === "maximize") {
        if (window.maximizable) {
            window.setMaximize(true, true);
        }
        answer(window.maximizable);
    } else if (request.op === "minimize") {
        if (window.minimizable) {
            window.minimized = true;
        }
        answer(window.minimized);
    } else if (request.op === "close") {
        if (window.closeable) {
            window.closeWindow();
        }
        answer(window.closeable);
    } else {
        answer(false);
    }
}

let askedAt = 0;

// `outcome`: what came of the last request, as JSON text; empty for none.
function takeRequests(outcome) {
    askedAt = Date.now();
    callDBus(SERVICE, PATH, INTERFACE, "TakeRequest", outcome, function (answer) {
        // Until the next call goes out, carrying a request out counts as
        // asking.
        let request = null;
        try {
            request = JSON.parse(answer);
        } catch (e) {
            print("glidra: unreadable request " + answer + ": " + e);
        }
        if (request && request.op === "stop") {
            // Another copy of this script asks now.
            askedAt = 0;
            return;
        }
        if (!request || !request.op) {
            takeRequests("");
            return;
        }
        carryOut(request, function (done) {
            const result = {id: request.id, done: done};
            const window = request.window ? windowWithId(request.window) : null;
            if (window) {
                result.window = describe(window);
            }
            takeRequests(JSON.stringify(result));
        });
    });
}

// A call lost while Glidra was away is asked again at the next change.
function takeRequestsIfLost() {
    if (askedAt === 0 || Date.now() - askedAt > LOST_CALL_MS) {
        takeRequests("");
    }
}

function activated(window) {
    watch(window);
    report();
    takeRequestsIfLost();
}

if (plasma6) {
    workspace.windowActivated.connect(activated);
} else {
    workspace.clientActivated.connect(activated);
}
activated(activeWindow());
