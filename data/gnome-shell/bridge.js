// Glidra's bridge inside GNOME Shell, shared by the extension's two builds
// (the shell's older imports for 43 and 44, ES modules from 45). The build
// puts Gio, GLib, Meta, Shell, Main and SwipeTracker in scope before this
// text.
//
// On the session bus it reports the focused window (native Wayland windows
// included, which no ordinary client can see), with a signal on every change,
// and carries out Glidra's window requests. While Glidra asks, it also keeps
// the shell's own three-finger touchpad swipes off, and gives them back when
// Glidra asks so or leaves the bus.
//
// It serves Glidra alone: the owner of Glidra's own bus name. Calls from any
// other program are refused, and the signals go to that owner only, so no
// other program learns which window has the focus or moves windows through
// here.

const GLIDRA_BUS_NAME = 'io.github.glidra.Glidra.Shell';
const GLIDRA_CLIENT_NAME = 'io.github.glidra.Glidra';
const GLIDRA_OBJECT_PATH = '/io/github/glidra/Glidra/Shell';
const GLIDRA_INTERFACE_NAME = 'io.github.glidra.Glidra.Shell1';
const GLIDRA_INTERFACE_VERSION = 2;
// How long a move or resize may take the window before the answer goes back.
const GLIDRA_SETTLE_MS = 250;

const GLIDRA_INTERFACE = `
<node>
  <interface name="io.github.glidra.Glidra.Shell1">
    <method name="GetState">
      <arg type="a{sv}" name="state" direction="out"/>
    </method>
    <method name="GetWindow">
      <arg type="t" name="id" direction="in"/>
      <arg type="a{sv}" name="window" direction="out"/>
    </method>
    <method name="MoveResize">
      <arg type="t" name="id" direction="in"/>
      <arg type="i" name="x" direction="in"/>
      <arg type="i" name="y" direction="in"/>
      <arg type="i" name="width" direction="in"/>
      <arg type="i" name="height" direction="in"/>
      <arg type="b" name="reached" direction="out"/>
    </method>
    <method name="Maximize">
      <arg type="t" name="id" direction="in"/>
      <arg type="b" name="done" direction="out"/>
    </method>
    <method name="Minimize">
      <arg type="t" name="id" direction="in"/>
      <arg type="b" name="done" direction="out"/>
    </method>
    <method name="Close">
      <arg type="t" name="id" direction="in"/>
      <arg type="b" name="done" direction="out"/>
    </method>
    <method name="ActivateProcess">
      <arg type="i" name="pid" direction="in"/>
      <arg type="b" name="done" direction="out"/>
    </method>
    <method name="MinimizeProcess">
      <arg type="i" name="pid" direction="in"/>
      <arg type="b" name="done" direction="out"/>
    </method>
    <method name="SetSwipeGesturesDisabled">
      <arg type="b" name="disabled" direction="in"/>
      <arg type="b" name="done" direction="out"/>
    </method>
    <signal name="FocusedWindowChanged">
      <arg type="a{sv}" name="window"/>
    </signal>
    <signal name="StateChanged">
      <arg type="a{sv}" name="state"/>
    </signal>
  </interface>
</node>`;

function glidraVariants(values) {
    const packed = {};
    for (const [key, [type, value]] of Object.entries(values))
        packed[key] = new GLib.Variant(type, value);
    return packed;
}

function glidraAnswer(invocation, done) {
    invocation.return_value(new GLib.Variant('(b)', [done]));
}

// The touchpad part of every swipe tracker of the shell: those there when
// the extension starts (the overview, the workspaces in and out of the
// overview, the application grid and each folder's own grid) and every one
// made later, which the shell builds whenever it rebuilds the grid's folders.
// Touch screens and dragging keep working.
class GlidraSwipeSwitch {
    constructor(changed) {
        this._changed = changed;
    }

    enable() {
        this._trackers = new Set();
        // tracker -> the touchpad gesture kept off and the handler doing it
        this._suppressed = new Map();
        this._off = false;

        const swipeSwitch = this;
        const prototype = SwipeTracker.SwipeTracker.prototype;
        this._originalInit = prototype._init;
        this._originalDestroy = prototype.destroy;
        const originalInit = this._originalInit;
        const originalDestroy = this._originalDestroy;
        prototype._init = function (...args) {
            originalInit.apply(this, args);
            swipeSwitch._adopt(this);
        };
        prototype.destroy = function (...args) {
            swipeSwitch._forget(this);
            originalDestroy.apply(this, args);
        };
        for (const tracker of this._existingTrackers())
            this._trackers.add(tracker);
    }

    disable() {
        this.setOff(false);
        const prototype = SwipeTracker.SwipeTracker.prototype;
        prototype._init = this._originalInit;
        prototype.destroy = this._originalDestroy;
        this._originalInit = null;
        this._originalDestroy = null;
        this._trackers.clear();
        this._trackers = null;
        this._suppressed = null;
        this._changed = null;
    }

    get supported() {
        return this._trackers.size > 0;
    }

    get off() {
        return this._off && this._suppressed.size > 0;
    }

    _existingTrackers() {
        const controls = Main.overview._overview?._controls;
        const appDisplay = controls?._appDisplay;
        const folders = (appDisplay?._folderIcons ?? []).map(icon => icon.view?._swipeTracker);
        const candidates = [
            Main.overview._swipeTracker,
            Main.wm._workspaceAnimation?._swipeTracker,
            controls?._workspacesDisplay?._swipeTracker,
            appDisplay?._swipeTracker,
            ...folders,
        ];
        return candidates.filter(tracker => tracker?._touchpadGesture);
    }

    _adopt(tracker) {
        if (!tracker._touchpadGesture || this._trackers.has(tracker))
            return;
        this._trackers.add(tracker);
        if (this._off)
            this._suppress(tracker);
        this._changed();
    }

    _forget(tracker) {
        if (!this._trackers.has(tracker))
            return;
        this._release(tracker);
        this._trackers.delete(tracker);
        this._changed();
    }

    // The shell turns a tracker on and off as the overview opens and closes;
    // its touchpad part stays off.
    _suppress(tracker) {
        if (this._suppressed.has(tracker))
            return;
        const gesture = tracker._touchpadGesture;
        const id = gesture.connect('notify::enabled', () => {
            if (gesture.enabled)
                gesture.enabled = false;
        });
        gesture.enabled = false;
        this._suppressed.set(tracker, {gesture, id});
    }

    _release(tracker) {
        const kept = this._suppressed.get(tracker);
        if (!kept)
            return;
        kept.gesture.disconnect(kept.id);
        kept.gesture.enabled = tracker.enabled;
        this._suppressed.delete(tracker);
    }

    setOff(off) {
        this._off = off;
        for (const tracker of this._trackers) {
            if (off)
                this._suppress(tracker);
            else
                this._release(tracker);
        }
        this._changed();
        return this.off === off;
    }
}

class GlidraShellBridge {
    enable() {
        this._tracker = Shell.WindowTracker.get_default();
        this._watchedWindow = null;
        this._windowSignals = [];
        this._announceId = 0;
        this._moves = new Set();
        this._client = null;
        this._reportedState = null;

        this._swipes = new GlidraSwipeSwitch(() => this._stateChanged());
        this._swipes.enable();

        this._exported = Gio.DBusExportedObject.wrapJSObject(GLIDRA_INTERFACE, this);
        this._exported.export(Gio.DBus.session, GLIDRA_OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, GLIDRA_BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
        this._clientWatch = Gio.bus_watch_name_on_connection(Gio.DBus.session, GLIDRA_CLIENT_NAME,
            Gio.BusNameWatcherFlags.NONE,
            (connection, name, owner) => this._clientAppeared(owner),
            () => this._clientVanished());
        this._focusId = global.display.connect('notify::focus-window', () => this._focusChanged());
        this._watchWindow(global.display.focus_window);
    }

    disable() {
        for (const move of [...this._moves])
            move.finish(false);
        this._moves = null;
        Gio.bus_unwatch_name(this._clientWatch);
        this._clientWatch = 0;
        this._client = null;
        this._swipes.disable();
        this._swipes = null;
        global.display.disconnect(this._focusId);
        this._focusId = 0;
        this._watchWindow(null);
        if (this._announceId) {
            GLib.source_remove(this._announceId);
            this._announceId = 0;
        }
        Gio.bus_unown_name(this._nameId);
        this._nameId = 0;
        this._exported.unexport();
        this._exported = null;
        this._tracker = null;
        this._reportedState = null;
    }

    // A new Glidra starts from the shell's own swipes; the one that left
    // gets them back.
    _clientAppeared(owner) {
        if (owner === this._client)
            return;
        this._swipes.setOff(false);
        this._client = owner;
        this._reportedState = null;
        this._stateChanged();
    }

    _clientVanished() {
        this._client = null;
        this._swipes.setOff(false);
    }

    // Only Glidra is answered.
    _allowed(invocation) {
        if (this._client !== null && invocation.get_sender() === this._client)
            return true;
        invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
            `${GLIDRA_BUS_NAME} answers the owner of ${GLIDRA_CLIENT_NAME} only`);
        return false;
    }

    // A signal for Glidra alone.
    _emit(signal, parameters) {
        if (!this._client || !this._exported)
            return;
        try {
            Gio.DBus.session.emit_signal(this._client, GLIDRA_OBJECT_PATH, GLIDRA_INTERFACE_NAME, signal,
                parameters);
        } catch (e) {
            logError(e, 'Glidra: could not tell Glidra');
        }
    }

    // The window as Glidra reads it: the desktop entry the shell matched,
    // the process, the title and the frame with its title bar.
    _describe(win) {
        if (!win)
            return {};
        const app = this._tracker.get_window_app(win);
        const appId = app && !app.is_window_backed() ? app.get_id() || '' : '';
        const rect = win.get_frame_rect();
        return glidraVariants({
            'id': ['t', win.get_id()],
            'app-id': ['s', appId],
            'resource-class': ['s', win.get_wm_class() || ''],
            'pid': ['i', win.get_pid()],
            'title': ['s', win.get_title() || ''],
            'x': ['i', rect.x],
            'y': ['i', rect.y],
            'width': ['i', rect.width],
            'height': ['i', rect.height],
            'fullscreen': ['b', win.is_fullscreen()],
            'xwayland': ['b', win.get_client_type() === Meta.WindowClientType.X11],
        });
    }

    _state() {
        return {
            'version': ['u', GLIDRA_INTERFACE_VERSION],
            'swipes-supported': ['b', this._swipes.supported],
            'swipes-disabled': ['b', this._swipes.off],
        };
    }

    // Tells Glidra when what the extension can do with the swipes, or does,
    // changed (and a newly started Glidra that the extension is there).
    _stateChanged() {
        const state = this._state();
        const summary = JSON.stringify(Object.values(state));
        if (summary === this._reportedState)
            return;
        this._reportedState = summary;
        this._emit('StateChanged', new GLib.Variant('(a{sv})', [glidraVariants(state)]));
    }

    _windows() {
        return global.get_window_actors().map(actor => actor.meta_window).filter(win => win);
    }

    _find(id) {
        return this._windows().find(win => win.get_id() === id) || null;
    }

    _focusChanged() {
        this._watchWindow(global.display.focus_window);
        this._announce();
    }

    // Follows the focused window's title and frame.
    _watchWindow(win) {
        if (this._watchedWindow) {
            for (const id of this._windowSignals)
                this._watchedWindow.disconnect(id);
        }
        this._windowSignals = [];
        this._watchedWindow = win;
        if (!win)
            return;
        for (const signal of ['notify::title', 'notify::fullscreen', 'position-changed', 'size-changed'])
            this._windowSignals.push(win.connect(signal, () => this._announceSoon()));
        this._windowSignals.push(win.connect('unmanaged', () => this._watchWindow(null)));
    }

    // A drag moves the window on every frame: one report per turn of the
    // shell's loop is enough.
    _announceSoon() {
        if (this._announceId)
            return;
        this._announceId = GLib.idle_add(GLib.PRIORITY_DEFAULT_IDLE, () => {
            this._announceId = 0;
            this._announce();
            return GLib.SOURCE_REMOVE;
        });
    }

    _announce() {
        this._emit('FocusedWindowChanged',
            new GLib.Variant('(a{sv})', [this._describe(global.display.focus_window)]));
    }

    GetStateAsync(parameters, invocation) {
        if (!this._allowed(invocation))
            return;
        const state = glidraVariants(this._state());
        state['focused-window'] = new GLib.Variant('a{sv}', this._describe(global.display.focus_window));
        invocation.return_value(new GLib.Variant('(a{sv})', [state]));
    }

    GetWindowAsync([id], invocation) {
        if (!this._allowed(invocation))
            return;
        invocation.return_value(new GLib.Variant('(a{sv})', [this._describe(this._find(id))]));
    }

    // Answers whether the window took the frame asked for, once it did or
    // had its time: a Wayland client draws its new size when it gets to it,
    // and a window keeps its minimum size. The frame it reports afterwards is
    // the one it reached.
    MoveResizeAsync([id, x, y, width, height], invocation) {
        if (!this._allowed(invocation))
            return;
        const win = this._find(id);
        if (!win || width <= 0 || height <= 0) {
            glidraAnswer(invocation, false);
            return;
        }
        const reached = () => {
            const rect = win.get_frame_rect();
            return rect.x === x && rect.y === y && rect.width === width && rect.height === height;
        };
        if (win.get_maximized())
            win.unmaximize(Meta.MaximizeFlags.BOTH);
        win.move_resize_frame(true, x, y, width, height);
        if (reached()) {
            glidraAnswer(invocation, true);
            return;
        }
        const move = {signals: [], timeout: 0};
        move.finish = done => {
            for (const signal of move.signals)
                win.disconnect(signal);
            move.signals = [];
            if (move.timeout)
                GLib.source_remove(move.timeout);
            move.timeout = 0;
            this._moves.delete(move);
            glidraAnswer(invocation, done);
        };
        for (const signal of ['position-changed', 'size-changed']) {
            move.signals.push(win.connect(signal, () => {
                if (reached())
                    move.finish(true);
            }));
        }
        move.signals.push(win.connect('unmanaged', () => move.finish(false)));
        move.timeout = GLib.timeout_add(GLib.PRIORITY_DEFAULT, GLIDRA_SETTLE_MS, () => {
            move.timeout = 0;
            move.finish(reached());
            return GLib.SOURCE_REMOVE;
        });
        this._moves.add(move);
    }

    MaximizeAsync([id], invocation) {
        if (!this._allowed(invocation))
            return;
        const win = this._find(id);
        if (!win || !win.can_maximize()) {
            glidraAnswer(invocation, false);
            return;
        }
        win.maximize(Meta.MaximizeFlags.BOTH);
        glidraAnswer(invocation, true);
    }

    MinimizeAsync([id], invocation) {
        if (!this._allowed(invocation))
            return;
        const win = this._find(id);
        if (!win || !win.can_minimize()) {
            glidraAnswer(invocation, false);
            return;
        }
        win.minimize();
        glidraAnswer(invocation, win.minimized);
    }

    CloseAsync([id], invocation) {
        if (!this._allowed(invocation))
            return;
        const win = this._find(id);
        if (!win || !win.can_close()) {
            glidraAnswer(invocation, false);
            return;
        }
        win.delete(global.get_current_time());
        glidraAnswer(invocation, true);
    }

    _windowsOf(pid) {
        return this._windows().filter(win => win.get_pid() === pid && !win.is_skip_taskbar());
    }

    ActivateProcessAsync([pid], invocation) {
        if (!this._allowed(invocation))
            return;
        const windows = this._windowsOf(pid);
        if (!windows.length) {
            glidraAnswer(invocation, false);
            return;
        }
        const latest = windows.reduce((a, b) => (b.get_user_time() > a.get_user_time() ? b : a));
        Main.activateWindow(latest);
        glidraAnswer(invocation, true);
    }

    MinimizeProcessAsync([pid], invocation) {
        if (!this._allowed(invocation))
            return;
        const windows = this._windowsOf(pid).filter(win => win.can_minimize());
        for (const win of windows)
            win.minimize();
        glidraAnswer(invocation, windows.length > 0);
    }

    // Answers whether the swipes are as asked now. They go back to the user
    // when Glidra leaves the bus, however it ends.
    SetSwipeGesturesDisabledAsync([disabled], invocation) {
        if (!this._allowed(invocation))
            return;
        glidraAnswer(invocation, this._swipes.setOff(disabled));
    }
}
