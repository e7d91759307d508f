#include "DriveSource.h"

#include "DriveCatalog.h"
#include "FileSystem.h"
#include "Files.h"
#include "Limits.h"
#include "VolumeQuestions.h"

#include <QDir>
#include <QHash>

namespace {
// Read without touching a volume: QStorageInfo::mountedVolumes() asks every
// volume its size on the calling thread, and one that hangs hangs it.
const Path MountTable(QStringLiteral("/proc/self/mountinfo"));
const Path Devices(QStringLiteral("/dev"));
const Path LabelLinks = Devices / u"disk/by-label";
// Far more than any machine's mount table; one cut short lists the mounts
// before the cut.
constexpr qsizetype MountTableBytes = qsizetype{16} * 1024 * 1024;

// A volume mounted again, or another one mounted on the same folder, is asked
// afresh even while a question to the one before still waits.
QString keyOf(const Volume &mount)
{
    return mount.device + u'\n' + mount.rootPath.toString();
}

// The mounts a person could write notes to, as the mount table lists them now.
Result<QList<Volume>> mountedNow()
{
    const Result<QByteArray> table = Files::readStart(MountTable, MountTableBytes);
    if (!table)
        return table.error();
    QList<Volume> mounts = DriveCatalog::mountsIn(*table);
    mounts.removeIf(
        [](const Volume &mount) { return DriveCatalog::isSystemFileSystem(mount.fileSystemType); });
    return mounts;
}

// The labels of the machine's volumes, by the device each is on. All of it
// lives in /dev, which never hangs; a machine without udev's links shows no
// labels.
QHash<QString, QString> labelsByDevice()
{
    QHash<QString, QString> labels;
    const Result<FileSystem::Descriptor> folder = FileSystem::openFolder(LabelLinks);
    const Result<QList<QByteArray>> names =
        folder ? FileSystem::entryNames(*folder) : Result<QList<QByteArray>>(folder.error());
    if (!names)
        return labels;
    for (const QByteArray &name : *names) {
        if (const Result<Path> device = FileSystem::canonical(LabelLinks / QString::fromUtf8(name)))
            labels.insert(device->toString(), DriveCatalog::labelOfLink(name));
    }
    return labels;
}

// Only a device below /dev is resolved: a FUSE volume's may name an image
// file on a volume that hangs.
QString labelOf(const QHash<QString, QString> &labels, const QString &device)
{
    const Path path(device);
    if (!path.hasAncestor(Devices))
        return {};
    const Result<Path> resolved = FileSystem::canonical(path);
    return resolved ? labels.value(resolved->toString()) : QString();
}

bool isFolder(const Path &path)
{
    const Result<FileSystem::Status> status = FileSystem::status(path);
    return status && status->kind == FileSystem::Status::Kind::Folder;
}

// On a thread of its own: each of these calls waits as long as the volume does.
// A volume that cannot tell is listed as one that is not ready, or holds no
// player, which is all the list shows; an export onto it asks again and says
// why it fails.
VolumeFacts askVolume(const Path &root)
{
    // Kernel file systems that hold nothing report no size, as Qt's volumes
    // left them out.
    const Result<FileSystem::Room> room = FileSystem::roomOn(root);
    return {room && room->size > 0, isFolder(root), isFolder(root / Player::ControlFolder)};
}
} // namespace

struct SystemDrives::State
{
    VolumeQuestions questions{askVolume};
    // As askAgain() read them, on the window's thread: what drives() lists.
    QList<Volume> mounted;
};

SystemDrives::SystemDrives() : m_state(std::make_unique<State>()) {}

SystemDrives::~SystemDrives() = default;

void SystemDrives::askAgain() const
{
    const Result<QList<Volume>> mounts = mountedNow();
    // Without the mount table no volume can be told apart: the list holds the
    // home folder alone, and an export onto a volume says why.
    m_state->mounted = mounts ? *mounts : QList<Volume>();
    const QHash<QString, QString> labels = labelsByDevice();
    QSet<QString> keys;
    for (Volume &mount : m_state->mounted) {
        mount.label = labelOf(labels, mount.device);
        keys.insert(keyOf(mount));
        m_state->questions.ask(keyOf(mount), mount.rootPath);
    }
    m_state->questions.keepOnly(keys);
}

DriveListing SystemDrives::drives() const
{
    QList<Volume> volumes;
    bool awaiting = false;
    for (Volume volume : m_state->mounted) {
        const VolumeQuestions::Answer answer = m_state->questions.known(keyOf(volume));
        if (answer.state == VolumeQuestions::Answer::State::Awaited) {
            awaiting = true;
            if (!answer.facts)
                continue;
        }
        const VolumeFacts facts = answer.facts.value_or(VolumeFacts{});
        volume.ready = facts.ready;
        volume.isFolder = facts.isFolder;
        volume.holdsPlayerFolder = facts.holdsPlayerFolder;
        volume.answers = answer.state != VolumeQuestions::Answer::State::Silent;
        volumes.append(volume);
    }
    return {DriveCatalog::folderEntries(Path(QDir::homePath()), volumes), awaiting};
}

// A player unplugged after it was chosen leaves an empty folder behind, and a
// drive shown as not connected or not answering is never written to. A drive
// shown as not connected may be a saved player whose answer is still awaited:
// the export waits for it rather than say that no player is connected.
std::function<Result<void>()> DriveSource::connectionCheck(const DriveEntry &drive) const
{
    if (drive.connected && drive.answering && !drive.isVolume())
        return {};
    return [this, drive]() -> Result<void> {
        const Result<void> mounted = drive.connected && !drive.answering
                                         ? Error(Error::Reason::NotAnswering)
                                         : checkMounted(drive);
        if (mounted)
            return {};
        return mounted.error().during(Error::Action::WriteNotes, drive.folder);
    };
}

Result<void> SystemDrives::checkMounted(const DriveEntry &volume) const
{
    // Reads the mount table afresh: a folder left behind by an unplugged player
    // belongs to the volume it sits on, whose mount point is another folder.
    const Result<QList<Volume>> mounts = mountedNow();
    if (!mounts)
        return mounts.error();
    const Path folder = volume.folder.cleaned();
    // An entry the list has not seen mounted has no device: the volume is the
    // one its drive string names, label and all.
    const auto isTheEntrys = [&volume](Volume mount) {
        if (volume.isVolume())
            return mount.device == volume.device;
        mount.label = labelOf(labelsByDevice(), mount.device);
        return DriveCatalog::driveStringOf(mount) == volume.driveString;
    };
    for (const Volume &mount : *mounts) {
        if (mount.rootPath.cleaned() != folder || !isTheEntrys(mount))
            continue;
        const VolumeQuestions::Answer answer =
            m_state->questions.await(keyOf(mount), mount.rootPath);
        if (answer.state == VolumeQuestions::Answer::State::Silent)
            return Error(Error::Reason::NotAnswering);
        if (answer.facts && answer.facts->ready && answer.facts->isFolder)
            return {};
    }
    return Error(Error::Reason::NotConnected);
}
