// Glidra's KWin script, for Plasma 5.27 and 6. A KWin script can only call
// out, so Glidra serves it: the script reports the active window whenever it
// changes, and fetches Glidra's window requests with a call that Glidra
// answers once it has one (or after a while, with nothing to do). Both go as
// JSON text, which callDBus hands over alike on every version.

const SERVICE = "io.github.glidra.Glidra.KWin";
const PATH = "/io/github/glidra/Glidra/KWin";
const INTERFACE = "io.github.glidra.Glidra.KWin1";
// Glidra answers a held call within 20 s; one older than this was lost.
const LOST_CALL_MS = 30000;

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

function carryOut(request) {
    if (request.op === "activateProcess") {
        const windows = windowsOf(request.pid);
        if (windows.length > 0) {
            setActiveWindow(windows[windows.length - 1]);
        }
        return;
    }
    if (request.op === "minimizeProcess") {
        windowsOf(request.pid).forEach(function (window) {
            window.minimized = true;
        });
        return;
    }
    const window = windowWithId(request.window);
    if (!window) {
        return;
    }
    if (request.op === "moveResize") {
        window.setMaximize(false, false);
        window.frameGeometry = {x: request.x, y: request.y, width: request.width, height: request.height};
    } else if (request.op === "maximize") {
        window.setMaximize(true, true);
    } else if (request.op === "minimize") {
        window.minimized = true;
    } else if (request.op === "close") {
        window.closeWindow();
    }
}

let askedAt = 0;

function takeRequests() {
    askedAt = Date.now();
    callDBus(SERVICE, PATH, INTERFACE, "TakeRequest", function (answer) {
        askedAt = 0;
        try {
            const request = JSON.parse(answer);
            if (request.op) {
                carryOut(request);
            }
        } catch (e) {
            print("glidra: unreadable request " + answer + ": " + e);
        }
        takeRequests();
    });
}

// A call lost while Glidra was away is asked again at the next change.
function takeRequestsIfLost() {
    if (askedAt === 0 || Date.now() - askedAt > LOST_CALL_MS) {
        takeRequests();
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
