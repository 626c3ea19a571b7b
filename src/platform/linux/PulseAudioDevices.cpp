#include "platform/linux/PulseAudioDevices.h"

#include "common/Completion.h"
#include "platform/LogCategories.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/glib-mainloop.h>
#include <pulse/introspect.h>
#include <pulse/subscribe.h>
#include <pulse/volume.h>

#include <algorithm>
#include <cmath>
#include <list>
#include <map>
#include <optional>

namespace glidra::linux_platform {

namespace {

struct Device {
    QByteArray name;
    pa_cvolume volume{};
    bool muted = false;
    // Writes sent and not yet confirmed: until they are, the server's
    // reports may predate them and must not undo them in the copy.
    int pendingWrites = 0;
};

struct Scope {
    std::map<std::uint32_t, Device> devices;  // by server index
    QByteArray defaultName;
};

// Device ids are server indexes plus one, so that 0 stays "no device".
AudioDeviceId idOf(std::uint32_t index) { return AudioDeviceId(index + 1); }

}  // namespace

struct PulseAudioDevices::State {
    // A device's mute or volume written to the server. One of each is on
    // its way at a time: PipeWire's server answers a write before its node
    // has taken it, and two on their way at once may be taken in either
    // order. Later values wait, each replacing the one before, and go once
    // the server has answered.
    struct Write {
        PulseAudioDevices* owner = nullptr;
        AudioScope scope = AudioScope::output;
        std::uint32_t index = 0;
        AudioControl control = AudioControl::volume;
        // Counts the writes asked for, in order.
        std::uint64_t serial = 0;
        bool onItsWay = false;
    };
    // Someone waiting for the answers to the writes up to `upTo`.
    struct Settling {
        std::uint64_t upTo = 0;
        bool refused = false;
        Completion<bool> answered;
    };

    QByteArray server;
    pa_glib_mainloop* mainloop = nullptr;
    pa_context* context = nullptr;
    bool contextReady = false;
    bool defaultsKnown = false;
    int listsPending = 0;
    std::map<AudioScope, Scope> scopes;
    std::list<Write> writes;
    std::uint64_t sent = 0;
    std::list<Settling> settling;
    QTimer reconnect;
    int failures = 0;
    int firstDelayMs = PulseAudioDevices::kReconnectDelayMs;
    // The server's socket, when it is a local one, and the watch on its
    // folder (or the nearest folder above that exists).
    QString socket;
    QFileSystemWatcher watcher;
    // The failure last logged; a server that stays away is logged once.
    std::optional<int> loggedError;

    void failed(pa_context* failing) {
        const int error = pa_context_errno(failing);
        if (loggedError == error) return;
        loggedError = error;
        qCWarning(lcServices).nospace() << "cannot reach the sound server "
                                        << (server.isEmpty() ? "(the session's)" : server.constData()) << ": "
                                        << pa_strerror(error) << "; volume and mute are unavailable until it answers";
    }
    void connected() {
        if (loggedError) qCInfo(lcServices) << "connected to the sound server again";
        loggedError.reset();
    }

    Device* find(AudioDeviceId id, AudioScope scope) {
        if (id == 0) return nullptr;
        auto& devices = scopes[scope].devices;
        const auto it = devices.find(id - 1);
        return it == devices.end() ? nullptr : &it->second;
    }

    // Sends a write with the device's values as they are now.
    bool send(Write& write);
    void refuse(std::uint64_t serial) {
        for (auto& waiting : settling) {
            if (waiting.upTo >= serial) waiting.refused = true;
        }
    }

    // Answers those whose writes have all been answered.
    void settle() {
        const std::uint64_t oldest = writes.empty() ? sent + 1 : writes.front().serial;
        for (auto it = settling.begin(); it != settling.end();) {
            if (it->upTo >= oldest) {
                ++it;
                continue;
            }
            it->answered.resolve(!it->refused);
            it = settling.erase(it);
        }
    }
    // The server is gone: the writes on their way have no answer to come.
    void dropWrites() {
        writes.clear();
        for (Settling& waiting : std::exchange(settling, {})) waiting.answered.resolve(false);
    }

    void release() {
        if (!context) return;
        pa_context_set_state_callback(context, nullptr, nullptr);
        pa_context_set_subscribe_callback(context, nullptr, nullptr);
        pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
        contextReady = false;
        defaultsKnown = false;
        listsPending = 0;
        scopes.clear();
        // A disconnected context calls none of its pending callbacks.
        dropWrites();
    }
};

// The library's callbacks, with their exact signatures, reaching the
// adapter's state.
struct PulseCallbacks {
    static void updateDevice(PulseAudioDevices* self, AudioScope scope, std::uint32_t index, const char* name,
                             const pa_cvolume& volume, int muted) {
        Device& device = self->state_->scopes[scope].devices[index];
        device.name = QByteArray(name);
        if (device.pendingWrites > 0) return;
        device.volume = volume;
        device.muted = muted != 0;
        Q_EMIT self->changed();
    }

    static void listFinished(PulseAudioDevices* self) {
        auto& state = *self->state_;
        if (state.listsPending > 0 && --state.listsPending == 0) Q_EMIT self->changed();
    }

    // One device of a sink or source query.
    template <AudioScope scope, typename Info>
    static void deviceInfo(pa_context*, const Info* info, int eol, void* userdata) {
        if (eol == 0 && info) {
            updateDevice(static_cast<PulseAudioDevices*>(userdata), scope, info->index, info->name, info->volume,
                         info->mute);
        }
    }
    // One device of the first listing, or its end.
    template <AudioScope scope, typename Info>
    static void deviceList(pa_context* context, const Info* info, int eol, void* userdata) {
        if (eol != 0) return listFinished(static_cast<PulseAudioDevices*>(userdata));
        deviceInfo<scope>(context, info, eol, userdata);
    }

    static void serverInfo(pa_context*, const pa_server_info* info, void* userdata) {
        auto* self = static_cast<PulseAudioDevices*>(userdata);
        if (!info) return;
        auto& state = *self->state_;
        state.scopes[AudioScope::output].defaultName = QByteArray(info->default_sink_name);
        state.scopes[AudioScope::input].defaultName = QByteArray(info->default_source_name);
        state.defaultsKnown = true;
        Q_EMIT self->changed();
    }

    static void fetch(PulseAudioDevices* self, AudioScope scope, std::uint32_t index) {
        pa_context* context = self->state_->context;
        pa_operation* operation =
            scope == AudioScope::output
                ? pa_context_get_sink_info_by_index(context, index, &deviceInfo<AudioScope::output, pa_sink_info>, self)
                : pa_context_get_source_info_by_index(context, index, &deviceInfo<AudioScope::input, pa_source_info>,
                                                      self);
        if (operation) pa_operation_unref(operation);
    }

    static void event(pa_context* context, pa_subscription_event_type_t type, std::uint32_t index, void* userdata) {
        auto* self = static_cast<PulseAudioDevices*>(userdata);
        const auto facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
        const auto kind = type & PA_SUBSCRIPTION_EVENT_TYPE_MASK;
        if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
            if (pa_operation* operation = pa_context_get_server_info(context, &serverInfo, self)) {
                pa_operation_unref(operation);
            }
            return;
        }
        if (facility != PA_SUBSCRIPTION_EVENT_SINK && facility != PA_SUBSCRIPTION_EVENT_SOURCE) return;
        const AudioScope scope = facility == PA_SUBSCRIPTION_EVENT_SINK ? AudioScope::output : AudioScope::input;
        if (kind == PA_SUBSCRIPTION_EVENT_REMOVE) {
            self->state_->scopes[scope].devices.erase(index);
            Q_EMIT self->changed();
            return;
        }
        Device* device = self->state_->find(idOf(index), scope);
        if (device && device->pendingWrites > 0) return;  // fetched once the writes are confirmed
        fetch(self, scope, index);
    }

    static void written(pa_context*, int success, void* userdata) {
        using Write = PulseAudioDevices::State::Write;
        auto* write = static_cast<Write*>(userdata);
        PulseAudioDevices* self = write->owner;
        auto& state = *self->state_;
        const AudioScope scope = write->scope;
        const std::uint32_t index = write->index;
        const AudioControl control = write->control;
        if (!success) state.refuse(write->serial);
        state.writes.remove_if([write](const Write& entry) { return &entry == write; });
        Device* device = state.find(idOf(index), scope);
        if (device) --device->pendingWrites;
        const auto waiting = std::find_if(state.writes.begin(), state.writes.end(), [&](const Write& entry) {
            return !entry.onItsWay && entry.scope == scope && entry.index == index && entry.control == control;
        });
        if (waiting != state.writes.end() && !state.send(*waiting)) {
            state.refuse(waiting->serial);
            state.writes.erase(waiting);
            if (device) --device->pendingWrites;
        }
        state.settle();
        // Whether it took or not, the server's own state settles the copy.
        if (device && device->pendingWrites == 0) fetch(self, scope, index);
    }

    static void stateChanged(pa_context* context, void* userdata) {
        auto* self = static_cast<PulseAudioDevices*>(userdata);
        auto& state = *self->state_;
        switch (pa_context_get_state(context)) {
            case PA_CONTEXT_READY: {
                state.connected();
                state.contextReady = true;
                state.failures = 0;
                state.listsPending = 2;
                pa_context_set_subscribe_callback(context, &event, self);
                const auto mask = pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK | PA_SUBSCRIPTION_MASK_SOURCE |
                                                         PA_SUBSCRIPTION_MASK_SERVER);
                for (pa_operation* operation :
                     {pa_context_subscribe(context, mask, nullptr, nullptr),
                      pa_context_get_server_info(context, &serverInfo, self),
                      pa_context_get_sink_info_list(context, &deviceList<AudioScope::output, pa_sink_info>, self),
                      pa_context_get_source_info_list(context, &deviceList<AudioScope::input, pa_source_info>, self)}) {
                    if (operation) pa_operation_unref(operation);
                }
                break;
            }
            case PA_CONTEXT_FAILED:
            case PA_CONTEXT_TERMINATED:
                state.failed(context);
                state.dropWrites();
                state.contextReady = false;
                state.defaultsKnown = false;
                state.scopes.clear();
                Q_EMIT self->changed();
                self->scheduleReconnect();
                break;
            default:
                break;
        }
    }
};

bool PulseAudioDevices::State::send(Write& write) {
    Device* device = find(idOf(write.index), write.scope);
    if (!device) return false;
    const bool output = write.scope == AudioScope::output;
    pa_operation* operation = nullptr;
    if (write.control == AudioControl::mute) {
        operation = output ? pa_context_set_sink_mute_by_index(context, write.index, device->muted,
                                                               &PulseCallbacks::written, &write)
                           : pa_context_set_source_mute_by_index(context, write.index, device->muted,
                                                                 &PulseCallbacks::written, &write);
    } else {
        operation = output ? pa_context_set_sink_volume_by_index(context, write.index, &device->volume,
                                                                 &PulseCallbacks::written, &write)
                           : pa_context_set_source_volume_by_index(context, write.index, &device->volume,
                                                                   &PulseCallbacks::written, &write);
    }
    if (!operation) return false;
    pa_operation_unref(operation);
    write.onItsWay = true;
    return true;
}

namespace {

// Where the server listens, for a local server: PulseAudio's own default
// is the user's runtime folder.
QString socketOf(const QString& server) {
    QString address = server;
    if (address.isEmpty()) address = qEnvironmentVariable("PULSE_SERVER");
    if (address.startsWith(QLatin1String("unix:"))) return address.mid(5);
    if (!address.isEmpty()) return {};
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QStringLiteral("/pulse/native");
}

}  // namespace

PulseAudioDevices::PulseAudioDevices(const QString& server, QObject* parent, int firstDelayMs)
    : QObject(parent), state_(std::make_unique<State>()) {
    state_->server = server.toUtf8();
    state_->firstDelayMs = firstDelayMs;
    state_->socket = socketOf(server);
    state_->reconnect.setSingleShot(true);
    connect(&state_->reconnect, &QTimer::timeout, this, &PulseAudioDevices::connectToServer);
    connect(&state_->watcher, &QFileSystemWatcher::directoryChanged, this, &PulseAudioDevices::socketFolderChanged);
    state_->mainloop = pa_glib_mainloop_new(nullptr);
    connectToServer();
}

int PulseAudioDevices::reconnectDelayMs(int failures, int firstDelayMs) {
    int delay = std::min(firstDelayMs, kLongestReconnectDelayMs);
    for (int i = 1; i < failures && delay < kLongestReconnectDelayMs; ++i) delay *= 2;
    return std::min(delay, kLongestReconnectDelayMs);
}

PulseAudioDevices::~PulseAudioDevices() {
    state_->release();
    if (state_->mainloop) pa_glib_mainloop_free(state_->mainloop);
}

void PulseAudioDevices::connectToServer() {
    state_->release();
    if (!state_->mainloop) return;
    state_->context = pa_context_new(pa_glib_mainloop_get_api(state_->mainloop), "Glidra");
    if (!state_->context) return scheduleReconnect();
    pa_context_set_state_callback(state_->context, &PulseCallbacks::stateChanged, this);
    const char* server = state_->server.isEmpty() ? nullptr : state_->server.constData();
    if (pa_context_connect(state_->context, server, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        state_->failed(state_->context);
        scheduleReconnect();
    }
}

// The context cannot be dropped from inside its own callback, so the next
// attempt, which drops it, comes from the event loop.
void PulseAudioDevices::scheduleReconnect() {
    if (state_->reconnect.isActive()) return;
    ++state_->failures;
    state_->reconnect.start(reconnectDelayMs(state_->failures, state_->firstDelayMs));
    watchSocket();
}

// Watches the socket's folder, or the nearest folder above it that exists,
// so a server that starts is heard of without polling.
void PulseAudioDevices::watchSocket() {
    if (state_->socket.isEmpty()) return;
    QString folder = QFileInfo(state_->socket).absolutePath();
    while (!QFileInfo(folder).isDir() && folder != QDir::rootPath()) folder = QFileInfo(folder).absolutePath();
    const QStringList watched = state_->watcher.directories();
    if (watched == QStringList{folder}) return;
    if (!watched.isEmpty()) state_->watcher.removePaths(watched);
    state_->watcher.addPath(folder);
}

void PulseAudioDevices::socketFolderChanged() {
    if (!state_->reconnect.isActive()) return;
    if (!QFileInfo::exists(state_->socket)) {
        // A folder on the way was made: watch the next one down.
        watchSocket();
        return;
    }
    state_->reconnect.stop();
    connectToServer();
}

bool PulseAudioDevices::isReady() const {
    return state_->contextReady && state_->defaultsKnown && state_->listsPending == 0;
}

std::optional<AudioDeviceId> PulseAudioDevices::defaultDevice(AudioScope scope) {
    if (!isReady()) return std::nullopt;
    const Scope& devices = state_->scopes[scope];
    for (const auto& [index, device] : devices.devices) {
        if (device.name == devices.defaultName) return idOf(index);
    }
    return AudioDeviceId(0);
}

std::optional<bool> PulseAudioDevices::isSettable(AudioDeviceId id, const AudioAddress& address) {
    if (!isReady()) return std::nullopt;
    const Device* device = state_->find(id, address.scope);
    if (!device) return std::nullopt;
    if (address.element == kMainElement) return true;
    // PulseAudio mutes a device as a whole; channels have volumes only.
    return address.control == AudioControl::volume && address.element > 0 &&
           address.element <= int(device->volume.channels);
}

std::optional<float> PulseAudioDevices::value(AudioDeviceId id, const AudioAddress& address) {
    if (!isReady()) return std::nullopt;
    const Device* device = state_->find(id, address.scope);
    if (!device) return std::nullopt;
    if (address.control == AudioControl::mute) {
        if (address.element != kMainElement) return std::nullopt;
        return device->muted ? 1.0f : 0.0f;
    }
    pa_volume_t volume = 0;
    if (address.element == kMainElement) {
        volume = pa_cvolume_max(&device->volume);
    } else if (address.element > 0 && address.element <= int(device->volume.channels)) {
        volume = device->volume.values[address.element - 1];
    } else {
        return std::nullopt;
    }
    // Amplified beyond 100 % counts as full.
    return std::min(1.0f, float(volume) / float(PA_VOLUME_NORM));
}

bool PulseAudioDevices::setValue(AudioDeviceId id, const AudioAddress& address, float value) {
    if (isSettable(id, address) != true || !std::isfinite(value)) return false;
    Device* device = state_->find(id, address.scope);
    const std::uint32_t index = id - 1;
    const Device before = *device;
    if (address.control == AudioControl::mute) {
        device->muted = value != 0;
    } else {
        const auto target = pa_volume_t(std::lround(double(std::clamp(value, 0.0f, 1.0f)) * PA_VOLUME_NORM));
        if (address.element == kMainElement) {
            // Keeps the balance between the channels.
            pa_cvolume_scale(&device->volume, target);
        } else {
            device->volume.values[address.element - 1] = target;
        }
    }
    const auto same = [&](const State::Write& entry) {
        return entry.scope == address.scope && entry.index == index && entry.control == address.control;
    };
    auto& writes = state_->writes;
    // A value still waiting goes with this one.
    if (std::any_of(writes.begin(), writes.end(),
                    [&](const State::Write& entry) { return same(entry) && !entry.onItsWay; })) {
        return true;
    }
    auto& write = writes.emplace_back(State::Write{this, address.scope, index, address.control, state_->sent + 1});
    const bool onItsWay = std::any_of(writes.begin(), std::prev(writes.end()), same);
    if (!onItsWay && !state_->send(write)) {
        writes.pop_back();
        *device = before;
        PulseCallbacks::fetch(this, address.scope, index);
        return false;
    }
    ++state_->sent;
    ++device->pendingWrites;
    return true;
}

// Touches nothing of the adapter once it waits: the answer may come as the
// adapter goes.
QCoro::Task<bool> PulseAudioDevices::writesSettled() {
    if (state_->writes.empty()) co_return true;
    const Completion<bool> answered;
    state_->settling.push_back(State::Settling{state_->sent, false, answered});
    co_return co_await answered;
}

}  // namespace glidra::linux_platform
