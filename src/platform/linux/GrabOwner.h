#pragma once

#include <QByteArray>

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <vector>

namespace glidra::linux_platform {

// The one owner of every exclusive grab (EVIOCGRAB) of an input node. Grabs
// are counted by holder: the node stays grabbed while any holder holds it, so
// one holder letting go (the edge pointer lock) never drops another's grab
// (the cleaning mode). The grab itself is made on the descriptor the program
// reads the node from, so the program keeps reading what the desktop no
// longer sees. Safe from any thread: the watchdog lets go from the reader.
class GrabOwner {
public:
    using Holder = const void*;
    // What the owner asks of a node. A release may wait for the node to be
    // left alone; releaseNow does not wait.
    enum class Action { grab, release, releaseNow };
    // Does it; false when the kernel refuses a grab, or the node is not open.
    using Apply = std::function<bool(const QByteArray& devnode, Action action)>;

    explicit GrabOwner(Apply apply) : apply_(std::move(apply)) {}

    // True when the node is grabbed for `holder` (a holder holding it again
    // changes nothing). On a refusal nothing is held.
    bool hold(const QByteArray& devnode, Holder holder);
    // `how` (release, or releaseNow when the node is wanted back at once) is
    // applied when the last holder goes.
    void release(const QByteArray& devnode, Holder holder, Action how = Action::release);
    // Every node `holder` holds.
    void releaseHolder(Holder holder);
    // Every grab of every holder, at once: the program is stuck, or the
    // session is going away. The holders are forgotten.
    void releaseAll();
    // The node's descriptor was opened again (or closed): grab the new one
    // when the node is held.
    void reapply(const QByteArray& devnode);
    // The node left: its holders are forgotten, nothing is applied.
    void forget(const QByteArray& devnode);

    bool isGrabbed(const QByteArray& devnode) const;
    int holderCount(const QByteArray& devnode) const;
    bool anyGrab() const;

private:
    Apply apply_;
    mutable std::mutex mutex_;
    std::map<QByteArray, std::set<Holder>> holders_;
};

}  // namespace glidra::linux_platform
