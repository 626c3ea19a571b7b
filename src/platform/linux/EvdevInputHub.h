#pragma once

#include "platform/evdev/Frame.h"
#include "platform/linux/EvdevInputTranslator.h"
#include "platform/linux/EvdevNode.h"
#include "platform/linux/GrabOwner.h"
#include "platform/linux/GrabWatchdog.h"
#include "platform/linux/InputServiceClient.h"
#include "platform/linux/UdevInputDevices.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace glidra::linux_platform {

// The program's one reader of the user's input devices. It keeps the
// touchpads, keyboards and pointing devices udev reports, opens each node
// once while some part of the program holds a lease on its class, and reads
// them all on one thread blocked in poll (an idle device costs nothing).
//
// - Touchpad events are assembled into contact frames on the reader thread
//   and handed to the frame sink there, as a multitouch driver does.
// - Keys, buttons, pointer motion and wheels are translated and handed to the
//   main thread, a packet at a time after the packet's frame: first to the
//   filter (the event taps), then, if it let them pass, to the observers.
// - Every exclusive grab goes through the grab owner, on the reader's own
//   descriptor. A grab waits until the node's keys and buttons are up (or the
//   desktop would never see them rise), and a release until they are up and
//   no finger touches (or the pointer would jump by what the finger did),
//   unless its holder wants the node back at once. A watchdog on the reader
//   lets every grab go when the main loop misses its heartbeat, and the
//   kernel ends them all with the process.
// - With the input service, the touchpads' descriptors come from it, and the
//   keyboards and pointers are never opened here: the service reads them and
//   tells their summary (modifiers, presses, Caps Lock, buttons), which the
//   reader turns into the same events, and it holds them for a grab of
//   servedDevnode(c) (let go when the program goes).
class EvdevInputHub final : public QObject {
    Q_OBJECT

public:
    struct Options {
        // Seconds without a heartbeat of the main loop after which every grab
        // is let go.
        double watchdogLimit = 3.0;
        int heartbeatIntervalMs = 500;
        // The input service that opens the touchpads for us, when it runs;
        // without it (or once it is gone) every node is opened directly.
        InputServiceClient* service = nullptr;
    };

    // Keeps the nodes of its classes open while it lives.
    class Lease {
    public:
        ~Lease();
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

    private:
        friend class EvdevInputHub;
        Lease(EvdevInputHub& hub, InputDeviceClasses classes) : hub_(&hub), classes_(classes) {}
        QPointer<EvdevInputHub> hub_;
        InputDeviceClasses classes_;
    };

    // Called on the reader thread with each assembled frame of an open
    // touchpad; `device` is the node's stable reference.
    using FrameSink = std::function<void(void* device, const evdev::Frame& frame)>;
    // The event taps: the event to pass on, or nothing when it is swallowed.
    using Filter = std::function<std::optional<InputEvent>(const ObservedInput&)>;
    using Observer = std::function<void(const ObservedInput& observed, const InputEvent& passed)>;
    using ObserverId = std::uint64_t;

    explicit EvdevInputHub(Options options, QObject* parent = nullptr);
    explicit EvdevInputHub(QObject* parent = nullptr);
    ~EvdevInputHub() override;

    UdevInputDevices& udev() { return udev_; }
    // The reader thread's kernel id, to raise its priority by.
    std::int64_t readerThread() const { return readerThread_.load(); }

    std::unique_ptr<Lease> acquire(InputDeviceClasses classes);

    // The nodes of a class present now, and which of them are open.
    std::vector<InputNode> presentNodes(InputDeviceClass c) const;
    std::vector<std::shared_ptr<EvdevNode>> openNodes(InputDeviceClass c) const;
    // Those present that stay closed because opening them failed, with the
    // errno of the last attempt.
    std::vector<std::pair<InputNode, int>> refusedNodes(InputDeviceClass c) const;
    std::shared_ptr<EvdevNode> node(const QByteArray& devnode) const;

    // The input service reads this class for us (keyboards, pointers).
    bool serves(InputDeviceClass c) const;
    // What stands for a served class in grabs and in the events it gives.
    static QByteArray servedDevnode(InputDeviceClass c);

    // Closes every node and keeps them closed (the session went inactive:
    // the devices are another user's now), or opens again what is leased.
    void setSuspended(bool suspended);

    // --- touchpad frames --------------------------------------------------------
    // Replaces the sink; a frame being delivered finishes first.
    void setFrameSink(FrameSink sink);
    // The touchpad's next frame starts from a fresh assembler.
    void restartFrames(EvdevNode& node);
    // The frames with a finger on the surface the reader has assembled from
    // every touchpad; it only grows. Each is counted after the frame sink had
    // it, so a count read before the sink's own count never runs ahead of it.
    std::uint64_t touchFrameCount() const { return touchFrames_.load(); }

    // --- input events for the main thread ------------------------------------------
    void setFilter(Filter filter);
    ObserverId addObserver(Observer observer);
    void removeObserver(ObserverId id);
    // Pointer movements are translated only while someone wants them.
    void setMotionWanted(bool wanted) { motionWanted_.store(wanted); }

    // --- held keys (main thread) -----------------------------------------------------
    // The keys and buttons held on the open nodes of a class (EVIOCGKEY).
    std::vector<std::uint16_t> heldKeys(InputDeviceClass c) const;
    bool capsLockLit() const;

    // --- grabs ------------------------------------------------------------------------
    bool holdGrab(const QByteArray& devnode, GrabOwner::Holder holder);
    // `how` is release (waits until nothing is held or touched) or releaseNow.
    void releaseGrab(const QByteArray& devnode, GrabOwner::Holder holder,
                     GrabOwner::Action how = GrabOwner::Action::release);
    void releaseGrabs(GrabOwner::Holder holder);
    const GrabOwner& grabs() const { return grabs_; }
    // The node is grabbed now; a grab held may still wait for the keys to
    // rise, and one let go for the fingers to lift.
    bool isGrabbedNow(const QByteArray& devnode) const;

Q_SIGNALS:
    void nodeArrived(const glidra::linux_platform::InputNode& node);
    void nodeLeft(const glidra::linux_platform::InputNode& node);
    // The watchdog let every grab go: the main loop had stopped.
    void grabsLost();

private:
    void release(InputDeviceClasses classes);
    void reconcile();
    void addNode(const InputNode& info);
    void removeNode(const QByteArray& devnode);
    bool wanted(const EvdevNode& node) const;
    // Under mutex_.
    void openLocked(EvdevNode& node);
    void closeLocked(EvdevNode& node);
    bool throughService(const EvdevNode& node) const;
    void watchServed();
    bool applyGrab(const QByteArray& devnode, GrabOwner::Action action);
    void grabsChanged();
    void wake();

    // Reader thread.
    void run();
    void readNode(const std::shared_ptr<EvdevNode>& node, std::uint64_t openCount);
    void readFeed();
    // A fresh frame state for the node, from what it holds now; under mutex_.
    void restart(EvdevNode& node);
    void processPacket(const std::shared_ptr<EvdevNode>& node, const std::vector<evdev::EvdevEvent>& packet,
                       bool grabbed, std::vector<ObservedInput>& observed);
    void settlePendingGrab(EvdevNode& node);

    // Main thread.
    void deliver(const std::vector<ObservedInput>& batch);
    void nodeFailed(const QByteArray& devnode, std::uint64_t openCount);

    Options options_;
    UdevInputDevices udev_;
    GrabWatchdog watchdog_;
    GrabOwner grabs_;
    QTimer heartbeat_;

    mutable std::mutex mutex_;
    std::map<QByteArray, std::shared_ptr<EvdevNode>> nodes_;  // guarded
    std::uint64_t generation_ = 0;                            // guarded: the set of open nodes changed
    bool stopping_ = false;                                   // guarded
    int wakeFd_ = -1;

    std::map<InputDeviceClass, int> leases_;  // main thread
    bool suspended_ = false;                  // main thread

    std::mutex sinkMutex_;
    FrameSink frameSink_;  // guarded by sinkMutex_
    std::atomic<std::uint64_t> touchFrames_{0};

    Filter filter_;
    std::map<ObserverId, Observer> observers_;
    ObserverId nextObserver_ = 1;
    std::atomic<bool> motionWanted_{false};
    std::atomic<bool> eventsWanted_{false};

    // The service's summaries; alive until the service hangs up.
    std::unique_ptr<InputServiceFeed> feed_;
    std::atomic<bool> feedAlive_{false};
    unsigned watchedServed_ = 0;     // main thread: classes asked of the service
    unsigned servedModifiers_ = 0;   // guarded: the service's modifier bits
    bool servedCapsLock_ = false;    // guarded
    unsigned servedGrabbed_ = 0;     // guarded: classes held at the service
    const char servedKeyboard_ = 0;  // sources of the served events
    const char servedPointer_ = 0;

    EvdevInputTranslator translator_;  // reader thread
    std::atomic<std::int64_t> readerThread_{0};
    std::thread reader_;
};

}  // namespace glidra::linux_platform
