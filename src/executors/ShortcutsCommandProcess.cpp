#include "executors/ShortcutsCommandProcess.h"

#include "common/Completion.h"
#include "executors/ShortcutsOutputFile.h"

#include <QDir>
#include <QStringDecoder>
#include <QUuid>

#include <memory>
#include <optional>

namespace glidra {

namespace {

// Length of the incomplete UTF-8 sequence at the end of `bytes`, if any.
qsizetype incompleteTail(const QByteArray& bytes) {
    // A sequence is at most four bytes: look back over three continuation
    // bytes at most for the lead byte.
    for (qsizetype back = 1; back <= 4 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // continuation byte
        const qsizetype length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

}  // namespace

QString ShortcutsCommandProcess::decodeOutput(QByteArray bytes, bool truncated) {
    if (truncated) bytes.chop(incompleteTail(bytes));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return {};
    return text;
}

QCoro::Task<Result<ShortcutsCommandProcess::Outcome, ShortcutsCommandProcess::Error>> ShortcutsCommandProcess::execute(
    QStringList arguments, bool captureOutput, double timeout) {
    // The output file lives only as long as the call: removed on every path out.
    std::optional<ShortcutsOutputFile> outputFile;
    if (captureOutput) {
        // Qt names no folder at all when TMPDIR names a missing one.
        const QString folder = QDir::tempPath();
        if (folder.isEmpty()) co_return Failure{Error{Error::Kind::outputFile, QStringLiteral("no temporary folder")}};
        outputFile.emplace(folder + QStringLiteral("/glidra-shortcuts-") +
                           QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
        QString error;
        if (!outputFile->create(&error)) co_return Failure{Error{Error::Kind::outputFile, error}};
    }

    Completion<int> exited;
    auto started = runner_.start(ProcessRunner::Command{QString::fromLatin1(executable), arguments,
                                                        outputFile ? std::optional(outputFile->path()) : std::nullopt},
                                 [exited](int status) { exited.resolve(status); });
    if (!started.process) co_return Failure{Error{Error::Kind::launch, started.error}};

    // The time-out asks the child to end; one that ignores it is killed
    // after a grace period.
    struct Watch {
        std::shared_ptr<ProcessRunner::Process> process;
        bool timedOut = false;
        TimerHandle kill;
    };
    const auto watch = std::make_shared<Watch>();
    watch->process = std::move(started.process);
    Scheduler* scheduler = &scheduler_;
    const std::weak_ptr<Watch> weakWatch = watch;
    TimerHandle deadline = scheduler_.after(timeout, nullptr, [weakWatch, scheduler] {
        const auto watch = weakWatch.lock();
        if (!watch || !watch->process->isRunning()) return;
        watch->timedOut = true;
        watch->process->terminate();
        watch->kill = scheduler->after(killGrace, nullptr, [weakWatch] {
            if (const auto watch = weakWatch.lock(); watch && watch->process->isRunning()) watch->process->kill();
        });
    });

    const int status = co_await exited;
    deadline.cancel();
    watch->kill.cancel();

    QString output;
    if (outputFile) {
        if (const auto read = outputFile->read(outputLimit)) output = decodeOutput(read->first, read->second);
    }
    co_return Outcome{watch->timedOut ? -1 : status, output};
}

}  // namespace glidra
