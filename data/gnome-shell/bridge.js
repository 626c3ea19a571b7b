// Glidra's bridge inside GNOME Shell, shared by the extension's two builds
// (the shell's older imports for 43 and 44, ES modules from 45). The build
// puts Gio, GLib, Meta, Shell and Main in scope before this text.
//
// On the session bus it reports the focused window (native Wayland windows
// included, which no ordinary client can see), with a signal on every change,
// and carries out Glidra's window requests. While Glidra asks, it also keeps
// the shell's own three-finger touchpad swipes off, and gives them back when
// Glidra asks so or leaves the bus.

const GLIDRA_BUS_NAME = 'io.github.glidra.Glidra.Shell';
const GLIDRA_OBJECT_PATH = '/io/github/glidra/Glidra/Shell';
const GLIDRA_INTERFACE_VERSION = 1;
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
      <arg type="b" name="done" direction="out"/>
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

class GlidraShellBridge {
    enable() {
        this._tracker = Shell.WindowTracker.get_default();
        this._watchedWindow = null;
        this._windowSignals = [];
        this._announceId = 0;
        this._suppressed = [];
        this._swipeOwnerWatch = 0;

        this._exported = Gio.DBusExportedObject.wrapJSObject(GLIDRA_INTERFACE, this);
        this._exported.export(Gio.DBus.session, GLIDRA_OBJECT_PATH);
        this._nameId = Gio.bus_own_name_on_connection(Gio.DBus.session, GLIDRA_BUS_NAME,
            Gio.BusNameOwnerFlags.NONE, null, null);
        this._focusId = global.display.connect('notify::focus-window', () => this._focusChanged());
        this._focusChanged();
    }

    disable() {
        this._restoreSwipes();
        global.display.disconnect(this._focusId);
        this._watchWindow(null);
        if (this._announceId) {
            GLib.source_remove(this._announceId);
            this._announceId = 0;
        }
        Gio.bus_unown_name(this._nameId);
        this._exported.unexport();
        this._exported = null;
        this._tracker = null;
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
        if (!this._exported)
            return;
        this._exported.emit_signal('FocusedWindowChanged',
            new GLib.Variant('(a{sv})', [this._describe(global.display.focus_window)]));
    }

    GetState() {
        return glidraVariants({
            'version': ['u', GLIDRA_INTERFACE_VERSION],
            'focused-window': ['a{sv}', this._describe(global.display.focus_window)],
            'swipes-supported': ['b', this._swipeTrackers().length > 0],
            'swipes-disabled': ['b', this._suppressed.length > 0],
        });
    }

    GetWindow(id) {
        return this._describe(this._find(id));
    }

    // Answers once the window has the frame asked for, or had its time: a
    // Wayland client draws its new size when it gets to it, and a window may
    // keep a minimum size.
    MoveResizeAsync([id, x, y, width, height], invocation) {
        const win = this._find(id);
        if (!win) {
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
        const signals = [];
        let timeout = 0;
        const finish = () => {
            for (const signal of signals)
                win.disconnect(signal);
            signals.length = 0;
            if (timeout)
                GLib.source_remove(timeout);
            timeout = 0;
            glidraAnswer(invocation, true);
        };
        for (const signal of ['position-changed', 'size-changed']) {
            signals.push(win.connect(signal, () => {
                if (reached())
                    finish();
            }));
        }
        timeout = GLib.timeout_add(GLib.PRIORITY_DEFAULT, GLIDRA_SETTLE_MS, () => {
            timeout = 0;
            finish();
            return GLib.SOURCE_REMOVE;
        });
    }

    Maximize(id) {
        const win = this._find(id);
        if (!win || !win.can_maximize())
            return false;
        win.maximize(Meta.MaximizeFlags.BOTH);
        return true;
    }

    Minimize(id) {
        const win = this._find(id);
        if (!win || !win.can_minimize())
            return false;
        win.minimize();
        return true;
    }

    Close(id) {
        const win = this._find(id);
        if (!win || !win.can_close())
            return false;
        win.delete(global.get_current_time());
        return true;
    }

    _windowsOf(pid) {
        return this._windows().filter(win => win.get_pid() === pid && !win.is_skip_taskbar());
    }

    ActivateProcess(pid) {
        const windows = this._windowsOf(pid);
        if (!windows.length)
            return false;
        const latest = windows.reduce((a, b) => (b.get_user_time() > a.get_user_time() ? b : a));
        Main.activateWindow(latest);
        return true;
    }

    MinimizeProcess(pid) {
        const windows = this._windowsOf(pid).filter(win => win.can_minimize());
        for (const win of windows)
            win.minimize();
        return windows.length > 0;
    }

    // The shell's swipe trackers that take three-finger touchpad swipes: the
    // overview and application grid (up and down), the workspaces (left and
    // right, outside and inside the overview), the grid's pages.
    _swipeTrackers() {
        const controls = Main.overview._overview?._controls;
        const candidates = [
            Main.overview._swipeTracker,
            Main.wm._workspaceAnimation?._swipeTracker,
            controls?._workspacesDisplay?._swipeTracker,
            controls?._appDisplay?._swipeTracker,
        ];
        return candidates.filter((tracker, index) =>
            tracker?._touchpadGesture && candidates.indexOf(tracker) === index);
    }

    SetSwipeGesturesDisabledAsync([disabled], invocation) {
        if (!disabled) {
            this._restoreSwipes();
            glidraAnswer(invocation, true);
            return;
        }
        if (!this._suppressed.length) {
            // Only the touchpad's part of each tracker: touch screens and
            // dragging keep working. The shell turns a tracker on and off as
            // the overview opens and closes; the touchpad part stays off.
            for (const tracker of this._swipeTrackers()) {
                const gesture = tracker._touchpadGesture;
                const id = gesture.connect('notify::enabled', () => {
                    if (gesture.enabled)
                        gesture.enabled = false;
                });
                gesture.enabled = false;
                this._suppressed.push({tracker, gesture, id});
            }
        }
        // Glidra's swipes go back to the user when Glidra leaves the bus.
        if (this._swipeOwnerWatch)
            Gio.bus_unwatch_name(this._swipeOwnerWatch);
        this._swipeOwnerWatch = Gio.bus_watch_name_on_connection(Gio.DBus.session, invocation.get_sender(),
            Gio.BusNameWatcherFlags.NONE, null, () => this._restoreSwipes());
        glidraAnswer(invocation, this._suppressed.length > 0);
    }

    _restoreSwipes() {
        for (const {tracker, gesture, id} of this._suppressed) {
            gesture.disconnect(id);
            gesture.enabled = tracker.enabled;
        }
        this._suppressed = [];
        if (this._swipeOwnerWatch) {
            Gio.bus_unwatch_name(this._swipeOwnerWatch);
            this._swipeOwnerWatch = 0;
        }
    }
}
