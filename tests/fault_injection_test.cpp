// Faults from outside the program: disks that fill up or refuse writes, files that vanish or
// cannot be read between the file dialog and the load, report files that cannot be created,
// damaged settings, and data and tips files that are missing, empty, binary or far too large;
// named pipes, devices and sockets where a file was expected; saves killed half-way.
// In every case the user's files stay as they were and the message says what happened.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/tip_reader.h"
#include "edit/property_database.h"
#include "model/model_file.h"
#include "platform/file_access.h"
#include "platform/prompt.h"
#include "platform/settings.h"
#include "report/print_options.h"
#include "report/report_text.h"
#include "run/document.h"

namespace spanlab {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Lines = std::vector<std::string>;

const Lines kOldModel{"File Format:3.0", "Units: English;", "Support: X = 0; Disp = 0;"};

// A model of about `bytes` bytes of comment lines.
Lines BigModel(size_t bytes) {
  Lines lines{"File Format:3.0"};
  for (size_t size = 0; size < bytes; size += 80) lines.push_back("/" + std::string(79, 'c'));
  return lines;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// A file of `size` bytes that takes no room on the disk.
void WriteSparseFile(const std::string& path, off_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
}

// The disk, except that reads or writes fail with the given message. A failing read leaves
// part of the file in the buffer, as an interrupted read would.
class FailingFiles : public FileAccess {
 public:
  std::string readError;   // empty: reads go to the disk
  std::string writeError;  // empty: writes go to the disk
  int reads = 0;
  int writes = 0;

  Status ReadFile(const std::string& path, std::string& bytes, size_t maxBytes) override {
    ++reads;
    const Status status = disk_.ReadFile(path, bytes, maxBytes);
    if (readError.empty() || !status.ok()) return status;
    bytes.resize(bytes.size() / 2);
    return Status::Error(readError);
  }
  Status WriteFileAtomically(const std::string& path, const std::string& bytes) override {
    ++writes;
    if (!writeError.empty()) return Status::Error(writeError);
    return disk_.WriteFileAtomically(path, bytes);
  }

 private:
  DiskFileAccess disk_;
};

// For the rest of a scope, file permissions apply to this process even when it runs as root:
// the effective user and group become nobody's, and are given back at the end of the scope.
class WithoutRootPowers {
 public:
  static constexpr uid_t kNobody = 65534;
  WithoutRootPowers() {
    if (::geteuid() != 0) return;
    group_ = ::setegid(kNobody) == 0;
    user_ = ::seteuid(kNobody) == 0;
  }
  ~WithoutRootPowers() {
    if (user_) {
      EXPECT_EQ(::seteuid(0), 0);
    }
    if (group_) {
      EXPECT_EQ(::setegid(0), 0);
    }
  }
  WithoutRootPowers(const WithoutRootPowers&) = delete;
  WithoutRootPowers& operator=(const WithoutRootPowers&) = delete;

 private:
  bool group_ = false;
  bool user_ = false;
};

class FaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "spanlab-faults-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = fs::canonical(pattern).string();
    // Other users may pass through (see WithoutRootPowers) but not look inside.
    fs::permissions(dir_, fs::perms(0711));
  }
  void TearDown() override {
    for (const std::string& mount : mounts_) ::umount2(mount.c_str(), MNT_DETACH);
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ignored)) {
      if (entry.is_directory(ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(dir_, ignored);
  }

  // A folder of its own under the test folder.
  std::string Folder(const std::string& name) {
    const std::string path = dir_ + "/" + name;
    fs::create_directory(path);
    return path;
  }
  // Mounts a tmpfs of `size` (e.g. "64k") on a new folder; "" when this process may not mount.
  std::string MountTmpfs(const std::string& name, const std::string& size) {
    const std::string path = Folder(name);
    const std::string options = "size=" + size + ",mode=0755";
    if (::mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) != 0) return {};
    mounts_.push_back(path);
    return path;
  }
  static bool Remount(const std::string& path, unsigned long flags) {
    return ::mount("tmpfs", path.c_str(), "tmpfs", MS_REMOUNT | flags, nullptr) == 0;
  }
  // Whether this process can create files in a folder whose permissions forbid it (root can).
  static bool WritesIgnorePermissions(const std::string& folder) {
    const std::string probe = folder + "/probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
  }
  // A document that was opened from `path` and then edited.
  void OpenAndEdit(CSPLX_30Doc& doc, const std::string& path, const Lines& edited) {
    ASSERT_TRUE(doc.OnOpenDocument(path)) << doc.GetLastError();
    doc.SetLines(nullptr, edited);
    ASSERT_TRUE(doc.IsModified());
  }
  // A failed save: false, the message, the document still modified under its old path.
  static void ExpectFailedSave(CSPLX_30Doc& doc, const std::string& path,
                               const std::string& message) {
    const std::string before = doc.GetPathName();
    EXPECT_FALSE(doc.OnSaveDocument(path));
    EXPECT_EQ(doc.GetLastError(), message);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), before);
  }

  std::string dir_;
  std::vector<std::string> mounts_;
};

// ---- Saving ----

TEST_F(FaultTest, SavingOntoAFullFileSystemKeepsTheOldFile) {
  const std::string folder = MountTmpfs("full", "64k");
  if (folder.empty()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
  const std::string path = folder + "/beam.spn";
  const std::string old = WriteModelFile(BigModel(36 * 1024));
  WriteBytes(path, old);
  ASSERT_EQ(Contents(path), old);

  // The new file does not fit beside the old one.
  CSPLX_30Doc doc;
  OpenAndEdit(doc, path, BigModel(40 * 1024));
  ExpectFailedSave(doc, path,
                   "Cannot save '" + path +
                       "': No space left on device. The file on disk was not changed.");
  EXPECT_EQ(Contents(path), old);
  EXPECT_EQ(Names(folder), std::set<std::string>{"beam.spn"});  // no temporary file left

  // A model that fits is saved in the same place afterwards.
  doc.SetLines(nullptr, kOldModel);
  ASSERT_TRUE(doc.OnSaveDocument(path)) << doc.GetLastError();
  EXPECT_EQ(Contents(path), WriteModelFile(kOldModel));
}

// Restores the file size limit and SIGXFSZ however the test ends.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  sighandler_t previous_ = SIG_DFL;
};

TEST_F(FaultTest, AWriteCutShortByTheFileSizeLimitKeepsTheOldFile) {
  // Any user can lower the limit of the largest file a process may write: the write then fails
  // part-way, as on a disk that fills up during the save.
  const std::string path = dir_ + "/beam.spn";
  const std::string old = WriteModelFile(kOldModel);
  WriteBytes(path, old);
  CSPLX_30Doc doc;
  OpenAndEdit(doc, path, BigModel(64 * 1024));
  {
    FileSizeLimit limit(16 * 1024);
    ExpectFailedSave(doc, path,
                     "Cannot save '" + path +
                         "': File too large. The file on disk was not changed.");
  }
  EXPECT_EQ(Contents(path), old);
  EXPECT_EQ(Names(dir_), std::set<std::string>{"beam.spn"});
}

TEST_F(FaultTest, AFileAccessThatRefusesWritesLeavesTheDocumentAsItWas) {
  const std::string path = dir_ + "/beam.spn";
  const std::string old = WriteModelFile(kOldModel);
  WriteBytes(path, old);
  FailingFiles files;
  files.writeError = "Cannot save '" + path + "': No space left on device. The file on disk was "
                     "not changed.";
  CSPLX_30Doc doc;
  doc.SetFileAccess(&files);
  OpenAndEdit(doc, path, BigModel(1024));
  ExpectFailedSave(doc, path, files.writeError);
  ExpectFailedSave(doc, dir_ + "/other.spn", files.writeError);  // Save As
  EXPECT_EQ(files.writes, 2);
  EXPECT_EQ(Contents(path), old);
  EXPECT_EQ(Names(dir_), std::set<std::string>{"beam.spn"});
}

TEST_F(FaultTest, SavingIntoAReadOnlyFolderKeepsTheOldFile) {
  const std::string folder = Folder("read-only");
  const std::string path = folder + "/beam.spn";
  const std::string old = WriteModelFile(kOldModel);
  WriteBytes(path, old);
  fs::permissions(folder, fs::perms(0555));
  CSPLX_30Doc doc;
  OpenAndEdit(doc, path, BigModel(1024));
  WithoutRootPowers user;
  if (WritesIgnorePermissions(folder))
    GTEST_SKIP() << "this process writes into read-only folders (root that cannot drop it)";
  ExpectFailedSave(doc, path,
                   "Cannot save '" + path + "': cannot create a file in '" + folder +
                       "': Permission denied. The file on disk was not changed.");
  EXPECT_EQ(Contents(path), old);
  EXPECT_EQ(Names(folder), std::set<std::string>{"beam.spn"});
}

TEST_F(FaultTest, AReadOnlyFileIsReplacedOnlyAfterTheUserSaysYes) {
  // The folder allows the rename that replaces a file, so a save would go through: the
  // question comes first, for the file and for a link to it, and a No writes nothing.
  const std::string path = dir_ + "/read-only.spn", link = dir_ + "/link.spn";
  const std::string old = WriteModelFile(kOldModel);
  WriteBytes(path, old);
  fs::permissions(path, fs::perms(0444));
  fs::create_symlink("read-only.spn", link);
  CSPLX_30Doc doc;
  OpenAndEdit(doc, path, BigModel(1024));
  RecordingPrompter no(false), yes(true);
  EXPECT_FALSE(doc.MayReplace(path, no));
  EXPECT_FALSE(doc.MayReplace(link, no));
  const std::string question = "' is read-only. Replace it with the model? (It stays read-only.)";
  EXPECT_EQ(no.questions, (Lines{"'" + path + question, "'" + link + question}));
  EXPECT_EQ(Contents(path), old);
  // A file that may be written, a new file and a folder: no question (a folder's save fails).
  WriteBytes(dir_ + "/writable.spn", old);
  for (const std::string& other : {dir_ + "/writable.spn", dir_ + "/new.spn", dir_}) {
    EXPECT_TRUE(doc.MayReplace(other, no)) << other;
  }
  EXPECT_EQ(no.questions.size(), 2u);
  ASSERT_TRUE(doc.MayReplace(path, yes));
  ASSERT_TRUE(doc.OnSaveDocument(path)) << doc.GetLastError();
  EXPECT_EQ(Contents(path), WriteModelFile(BigModel(1024)));
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0444));
}

TEST_F(FaultTest, AModelOfMoreLinesThanAReaderTakesIsNotSaved) {
  // An older file converted into more lines than a model may have: the file would not open.
  const std::string path = dir_ + "/large.spn";
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, Lines(kMaxModelLines + 1));
  ExpectFailedSave(doc, path,
                   "Cannot save '" + path + "'. The model has 4000001 lines; a model may have "
                   "at most 4000000. Nothing was written.");
  EXPECT_FALSE(fs::exists(path));
  Lines largest(kMaxModelLines);
  largest.front() = "File Format:3.0";
  doc.SetLines(nullptr, largest);
  ASSERT_TRUE(doc.OnSaveDocument(path)) << doc.GetLastError();
  CSPLX_30Doc reopened;
  ASSERT_TRUE(reopened.OnOpenDocument(path)) << reopened.GetLastError();
  EXPECT_EQ(reopened.GetLines().size(), kMaxModelLines);
}

TEST_F(FaultTest, SavingOntoAReadOnlyFileSystemKeepsTheOldFile) {
  // Unlike folder permissions, a read-only mount stops root too.
  const std::string folder = MountTmpfs("read-only-mount", "64k");
  if (folder.empty()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
  const std::string path = folder + "/beam.spn";
  const std::string old = WriteModelFile(kOldModel);
  WriteBytes(path, old);
  if (!Remount(folder, MS_RDONLY)) GTEST_SKIP() << "cannot remount the tmpfs read-only";

  CSPLX_30Doc doc;
  OpenAndEdit(doc, path, BigModel(1024));
  ExpectFailedSave(doc, path,
                   "Cannot save '" + path + "': cannot create a file in '" + folder +
                       "': Read-only file system. The file on disk was not changed.");
  EXPECT_EQ(Contents(path), old);
  EXPECT_EQ(Names(folder), std::set<std::string>{"beam.spn"});
}

// ---- Opening ----

TEST_F(FaultTest, AModelFileThatVanishesBeforeTheLoadKeepsTheOpenModel) {
  const std::string kept = dir_ + "/kept.spn";
  WriteBytes(kept, WriteModelFile(kOldModel));
  CSPLX_30Doc doc;
  ASSERT_TRUE(doc.OnOpenDocument(kept));

  // The file dialog saw these; then they were removed, replaced by a folder, or locked.
  const std::string removed = dir_ + "/removed.spn";
  WriteBytes(removed, WriteModelFile({"File Format:3.0"}));
  fs::remove(removed);
  const std::string folder = Folder("now-a-folder.spn");
  struct Case {
    std::string path;
    std::string error;
  } cases[] = {
      {removed, "Cannot open '" + removed + "': No such file or directory."},
      {folder, "Cannot open '" + folder + "': it is a folder, not a file."},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(doc.OnOpenDocument(c.path));
    EXPECT_EQ(doc.GetLastError(), c.error);
    EXPECT_EQ(doc.GetLines(), kOldModel);
    EXPECT_EQ(doc.GetPathName(), kept);
    EXPECT_FALSE(doc.IsModified());
  }
}

TEST_F(FaultTest, AModelFileThatBecomesUnreadableBeforeTheLoadKeepsTheOpenModel) {
  const std::string kept = dir_ + "/kept.spn";
  WriteBytes(kept, WriteModelFile(kOldModel));
  fs::permissions(kept, fs::perms(0644));
  const std::string locked = dir_ + "/locked.spn";
  WriteBytes(locked, WriteModelFile({"File Format:3.0"}));
  fs::permissions(locked, fs::perms::none);

  WithoutRootPowers user;
  CSPLX_30Doc doc;
  ASSERT_TRUE(doc.OnOpenDocument(kept)) << doc.GetLastError();
  std::string probe;
  if (DiskFileAccess().ReadFile(locked, probe, 1024).ok())
    GTEST_SKIP() << "this process reads files without read permission (root that cannot drop it)";
  EXPECT_FALSE(doc.OnOpenDocument(locked));
  EXPECT_EQ(doc.GetLastError(), "Cannot open '" + locked + "': Permission denied.");
  EXPECT_EQ(doc.GetLines(), kOldModel);
  EXPECT_EQ(doc.GetPathName(), kept);
}

TEST_F(FaultTest, AReadThatFailsPartWayLoadsNothing) {
  const std::string kept = dir_ + "/kept.spn";
  WriteBytes(kept, WriteModelFile(kOldModel));
  const std::string next = dir_ + "/next.spn";
  WriteBytes(next, WriteModelFile(BigModel(4096)));
  FailingFiles files;
  CSPLX_30Doc doc;
  doc.SetFileAccess(&files);
  ASSERT_TRUE(doc.OnOpenDocument(kept));

  // Half of the file was read when the disk failed: nothing of it is used.
  files.readError = "Cannot read '" + next + "': Input/output error.";
  EXPECT_FALSE(doc.OnOpenDocument(next));
  EXPECT_EQ(doc.GetLastError(), files.readError);
  EXPECT_EQ(doc.GetLines(), kOldModel);
  EXPECT_EQ(doc.GetPathName(), kept);
  EXPECT_FALSE(doc.IsModified());

  // The preview reads through the same path and shows nothing of a failed read.
  CSPLX_30Doc preview;
  preview.SetFileAccess(&files);
  preview.SetInteractive(0);
  EXPECT_FALSE(preview.OnOpenDocument(next));
  EXPECT_EQ(preview.GetLastError(), files.readError);
  EXPECT_TRUE(preview.GetLines().empty());
  EXPECT_EQ(files.reads, 3);
}

// ---- What is not a regular file ----

TEST_F(FaultTest, OpeningRefusesPipesDevicesAndSocketsWithoutWaitingOrReading) {
  const std::string kept = dir_ + "/kept.spn";
  WriteBytes(kept, WriteModelFile(kOldModel));
  CSPLX_30Doc doc;
  ASSERT_TRUE(doc.OnOpenDocument(kept));

  const std::string lonelyPipe = dir_ + "/no-writer.spn";  // opening it for reading would wait
  ASSERT_EQ(::mkfifo(lonelyPipe.c_str(), 0644), 0);
  const std::string fullPipe = dir_ + "/with-writer.spn";
  ASSERT_EQ(::mkfifo(fullPipe.c_str(), 0644), 0);
  const int pipeEnds = ::open(fullPipe.c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(pipeEnds, 0);
  const std::string model = WriteModelFile({"File Format:3.0"});
  ASSERT_EQ(::write(pipeEnds, model.data(), model.size()), ssize_t(model.size()));
  const std::string socketPath = dir_ + "/socket.spn";
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  struct Case {
    std::string path, error;
  } cases[] = {
      {lonelyPipe, "Cannot open '" + lonelyPipe + "': it is a named pipe, not a file."},
      {fullPipe, "Cannot open '" + fullPipe + "': it is a named pipe, not a file."},
      {"/dev/zero", "Cannot open '/dev/zero': it is a device, not a file."},
      {"/dev/urandom", "Cannot open '/dev/urandom': it is a device, not a file."},
      {socketPath, "Cannot open '" + socketPath + "': it is a socket, not a file."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_FALSE(doc.OnOpenDocument(c.path));
    EXPECT_EQ(doc.GetLastError(), c.error);
    EXPECT_EQ(doc.GetLines(), kOldModel);
    EXPECT_EQ(doc.GetPathName(), kept);
    // Refused before anything is read or allocated (an endless device once filled 2 GB).
    std::string bytes;
    EXPECT_EQ(DiskFileAccess().ReadFile(c.path, bytes, FileAccess::kMaxFileBytes).message(),
              c.error);
    EXPECT_LE(bytes.capacity(), 15u);
  }
  // What the writer put into the pipe is still there for whoever reads it.
  char back[256];
  EXPECT_EQ(::read(pipeEnds, back, sizeof back), ssize_t(model.size()));
  ::close(pipeEnds);
  ::close(sock);
}

TEST_F(FaultTest, AModelIsNeverSavedOverAPipeAndAReportGoesIntoIt) {
  const std::string pipe = dir_ + "/beam.spn";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kOldModel);
  ExpectFailedSave(doc, pipe,
                   "Cannot save '" + pipe + "': it is a named pipe, not a file. Nothing was "
                   "written.");
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  // A report is written into the pipe; with nobody reading it is refused at once.
  DiskFileAccess disk;
  const std::string report = "Spanlab Input Data\r\n\r\n";
  EXPECT_EQ(disk.WriteFileOrStream(pipe, report).message(),
            "Cannot write to '" + pipe + "': no program is reading from it.");
  EXPECT_EQ(WriteReportFile(disk, pipe, report).message(), "Error - File could not be opened");
  const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(WriteReportFile(disk, pipe, report).ok());
  char back[256];
  EXPECT_EQ(std::string(back, std::max<ssize_t>(0, ::read(reader, back, sizeof back))), report);
  ::close(reader);
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(Names(dir_), std::set<std::string>{"beam.spn"});

  // An open descriptor by name (as /dev/stdout is): written into; a reader that went away is
  // an error, not a signal that ends the program.
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const std::string byName = "/dev/fd/" + std::to_string(ends[1]);
  ASSERT_TRUE(disk.WriteFileOrStream(byName, report).ok());
  EXPECT_EQ(std::string(back, std::max<ssize_t>(0, ::read(ends[0], back, sizeof back))), report);
  ::close(ends[0]);
  EXPECT_EQ(disk.WriteFileOrStream(byName, report).message(),
            "Cannot write to '" + byName + "': Broken pipe.");
  ::close(ends[1]);
}

TEST_F(FaultTest, AModelIsNeverSavedOverADeviceAndAReportGoesIntoIt) {
  // Device nodes only in a file system of the test's own, never in the real /dev.
  const std::string folder = MountTmpfs("dev", "64k");
  if (folder.empty()) GTEST_SKIP() << "cannot mount a tmpfs here (needs root)";
  const std::string null = folder + "/null", full = folder + "/full";
  if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 ||
      ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
    GTEST_SKIP() << "cannot make device nodes here: " << std::strerror(errno);
  }
  CSPLX_30Doc doc;
  doc.SetLines(nullptr, kOldModel);
  ExpectFailedSave(doc, null,
                   "Cannot save '" + null + "': it is a device, not a file. Nothing was written.");
  DiskFileAccess disk;
  EXPECT_TRUE(WriteReportFile(disk, null, "Spanlab Input Data\r\n\r\n").ok());
  EXPECT_EQ(disk.WriteFileOrStream(full, "report").message(),
            "Cannot write to '" + full + "': No space left on device.");
  struct stat st {};
  ASSERT_EQ(::lstat(null.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(st.st_rdev, makedev(1, 3));
  EXPECT_EQ(Names(folder), (std::set<std::string>{"full", "null"}));
}

// ---- Saves killed half-way ----

// Saves `bytes` over `path` again and again in a child process, and kills it after `ms`.
void KillDuringSaves(const std::string& path, const std::string& bytes, bool unnamed, int ms) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    DiskFileAccess disk(unnamed);
    for (;;) disk.WriteFileAtomically(path, bytes);
  }
  ::usleep(static_cast<useconds_t>(ms) * 1000);
  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
}

// The next program that saves into the same folder (a new process); whether it saved.
bool SaveInANewProcess(const std::string& path, const std::string& bytes, bool unnamed) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(DiskFileAccess(unnamed).WriteFileAtomically(path, bytes).ok() ? 0 : 1);
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

TEST_F(FaultTest, AKilledSaveLeavesNoTemporaryFileBehindTheNextSave) {
  const std::string big = WriteModelFile(BigModel(8 << 20));
  const std::string small = WriteModelFile(kOldModel);
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed temporary files" : "named temporary files");
    const std::string folder = Folder(unnamed ? "unnamed" : "named");
    const std::string path = folder + "/beam.spn";
    WriteBytes(path, small);
    for (int ms : {40, 150, 400}) KillDuringSaves(path, big, unnamed, ms);
    // An unnamed file has nothing to leave; only the instant of the rename could.
    if (unnamed) {
      EXPECT_EQ(Names(folder), std::set<std::string>{"beam.spn"});
    }
    // The next program starts later than the killed one's last write: the kernel keeps a
    // process's start time to 1/100 s.
    ::usleep(50'000);
    ASSERT_TRUE(SaveInANewProcess(path, small, unnamed));
    EXPECT_EQ(Names(folder), std::set<std::string>{"beam.spn"});
    EXPECT_EQ(Contents(path), small);
  }
}

TEST_F(FaultTest, OnlyStaleUnlockedTemporaryFilesOfTheSavePatternAreRemoved) {
  const std::string folder = Folder("saves");
  const auto make = [&folder](const std::string& name, time_t age) {
    const std::string path = folder + "/" + name;
    WriteBytes(path, "left over");
    const timespec times[2] = {{::time(nullptr) - age, 0}, {::time(nullptr) - age, 0}};
    EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), age > 0 ? times : nullptr, 0), 0);
    return path;
  };
  const std::set<std::string> kept{".spanlab-save-Ab12C",  ".spanlab-save-Ab12Cd7",
                                   ".spanlab-save-Ab_2Cd", "spanlab-save-Ab12Cd",
                                   ".spanlab-save-Fresh1", ".spanlab-save-Locked"};
  make(".spanlab-save-Ab12Cd", 3600);  // a killed save's: removed
  for (const std::string& name : kept) make(name, name == ".spanlab-save-Fresh1" ? 0 : 3600);
  // A save in progress in another program holds its lock.
  const int locked = ::open((folder + "/.spanlab-save-Locked").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(locked, LOCK_EX), 0);
  const std::string model = WriteModelFile(kOldModel);
  for (const bool unnamed : {true, false}) {
    ASSERT_TRUE(DiskFileAccess(unnamed).WriteFileAtomically(folder + "/beam.spn", model).ok());
  }
  std::set<std::string> expected = kept;
  expected.insert("beam.spn");
  EXPECT_EQ(Names(folder), expected);
  ::close(locked);
}

// ---- Report files ----

TEST_F(FaultTest, AReportFileThatCannotBeCreatedGivesTheReportMessage) {
  const std::string report = "Spanlab Input Data\r\n\r\n";
  FailingFiles refusing;
  refusing.writeError = "Cannot save: No space left on device.";
  const Status refused = WriteReportFile(refusing, dir_ + "/beam.rpt", report);
  EXPECT_FALSE(refused.ok());
  EXPECT_EQ(refused.message(), "Error - File could not be opened");
  EXPECT_FALSE(fs::exists(dir_ + "/beam.rpt"));

  // An old report that cannot be replaced stays as it was.
  const std::string folder = Folder("reports");
  const std::string old = folder + "/beam.rpt";
  WriteBytes(old, "older report\r\n");
  DiskFileAccess disk;
  {
    FileSizeLimit limit(8);
    const Status cut = WriteReportFile(disk, old, report);
    EXPECT_FALSE(cut.ok());
    EXPECT_EQ(cut.message(), "Error - File could not be opened");
  }
  EXPECT_EQ(Contents(old), "older report\r\n");
  EXPECT_EQ(Names(folder), std::set<std::string>{"beam.rpt"});

  const Status noFolder = WriteReportFile(disk, dir_ + "/gone/beam.rpt", report);
  EXPECT_EQ(noFolder.message(), "Error - File could not be opened");
}

// ---- Settings ----

TEST(CorruptSettingsTest, PrintOptionsFallBackToTheDefaults) {
  const PrintOptions defaults;
  // Nonsense in the sections the window reads at start-up must not reach the print options.
  MemorySettings settings;
  for (const char* key : {"Left", "Top", "Right", "Bottom", "Maximized"})
    settings.SetInt("Main", key, INT_MIN);
  settings.SetString("Main", "Points", "lots");

  for (int points : {-1, 4, 25, 100, INT_MAX, INT_MIN}) {
    SCOPED_TRACE(points);
    settings.SetInt("Print", "Points", points);
    for (const char* key : {"Input", "Diagrams", "Summary", "Details"})
      settings.SetInt("Print", key, 0);
    const PrintOptions loaded = LoadPrintOptions(settings);
    EXPECT_EQ(loaded.m_bPrintInput, defaults.m_bPrintInput);
    EXPECT_EQ(loaded.m_bPrintDiagrams, defaults.m_bPrintDiagrams);
    EXPECT_EQ(loaded.m_bPrintSummary, defaults.m_bPrintSummary);
    EXPECT_EQ(loaded.m_bPrintDetails, defaults.m_bPrintDetails);
    EXPECT_EQ(loaded.m_nDataPoints, defaults.m_nDataPoints);
  }

  // Any other number switches a report on, as 1 does; the choice of rows stays a valid one.
  settings.SetInt("Print", "Points", 77);
  settings.SetInt("Print", "Details", INT_MIN);
  settings.SetInt("Print", "Input", -3);
  const PrintOptions odd = LoadPrintOptions(settings);
  EXPECT_EQ(odd.m_bPrintDetails, 1);
  EXPECT_EQ(odd.m_bPrintInput, 1);
  EXPECT_EQ(odd.m_bPrintSummary, 0);
  EXPECT_EQ(odd.m_bPrintDiagrams, 0);
  EXPECT_EQ(odd.m_nDataPoints, defaults.m_nDataPoints);
}

TEST_F(FaultTest, CorruptTipSettingsStillShowATip) {
  const std::string path = dir_ + "/" + kTipsFileName;
  WriteBytes(path, "First tip\nSecond tip\n");
  DiskFileAccess disk;
  struct Case {
    int position;
    std::string tip, trouble;
  } cases[] = {
      {INT_MAX, "First tip", ""},        // beyond the end
      {-1, "", kTipsFileTrouble},        // unusable
      {INT_MIN, "", kTipsFileTrouble},
      {4, "t tip", ""},                  // inside a line: the rest of it is a tip
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.position);
    MemorySettings settings;
    settings.SetInt("Tip", "FilePos", c.position);
    settings.SetString("Tip", "TimeStamp", "T");
    settings.SetInt("Tip", "StartUp", 12345);
    TipReader reader(settings, disk, path, "T");
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_FALSE(reader.Startup());
    EXPECT_EQ(reader.Tip(), c.tip);
    EXPECT_EQ(reader.Trouble(), c.trouble);
    reader.NextTip();
    EXPECT_NE(reader.Tip(), "");
  }
}

// ---- Data files ----

TEST_F(FaultTest, DatabaseFilesMissingEmptyBinaryOrEnormous) {
  DiskFileAccess disk;
  DatabaseDocument doc{{"stale"}};
  const std::string missing = dir_ + "/SPLX.mat";
  const Status gone = LoadDatabase(disk, missing, doc);
  EXPECT_EQ(gone.message(), "Error opening material database file - " + missing +
                                ". Reinstall Spanlab to correct the problem.");
  EXPECT_TRUE(doc.m_dbLines.empty());

  const std::string folder = Folder("SPLX.prp");
  EXPECT_FALSE(LoadDatabase(disk, folder, doc).ok());

  // A file that opens but cannot be read: the reading message, not the opening one.
  doc.m_dbLines = {"stale"};
  const Status unreadable = LoadDatabase(disk, "/proc/self/mem", doc);
  EXPECT_EQ(unreadable.message(), "Error reading material database file - /proc/self/mem. "
                                  "Reinstal Spanlab to correct the problem.");
  EXPECT_TRUE(doc.m_dbLines.empty());

  // Larger than any database: refused without being read.
  const std::string enormous = dir_ + "/enormous.mat";
  WriteSparseFile(enormous, (off_t{16} << 20) + 1);
  doc.m_dbLines = {"stale"};
  const Status tooLarge = LoadDatabase(disk, enormous, doc);
  EXPECT_EQ(tooLarge.message(), "Error opening material database file - " + enormous +
                                    ". Reinstall Spanlab to correct the problem.");
  EXPECT_TRUE(doc.m_dbLines.empty());

  const std::string empty = dir_ + "/empty.mat";
  WriteBytes(empty, "");
  ASSERT_TRUE(LoadDatabase(disk, empty, doc).ok());
  EXPECT_TRUE(doc.m_dbLines.empty());
  EXPECT_TRUE(BuildDatabaseTree(doc, DatabaseKind::kMaterial, 1).empty());

  // Binary bytes are lines like any other; without a unit system block nothing is shown, and
  // inside one a zero byte is just a character.
  const std::string binary = dir_ + "/binary.prp";
  WriteBytes(binary,
             "\x00\xff\x01\n\xfe\n0 English\n1 W Shapes\x00\n2 W\x00\n3 Ix\x00=\xff\n\x80\x81"s);
  ASSERT_TRUE(LoadDatabase(disk, binary, doc).ok());
  EXPECT_EQ(doc.m_dbLines, (Lines{"\x00\xff\x01"s, "\xfe", "0 English", "1 W Shapes\x00"s,
                                  "2 W\x00"s, "3 Ix\x00=\xff"s, "\x80\x81"}));
  EXPECT_TRUE(BuildDatabaseTree(doc, DatabaseKind::kSection, 2).empty());
  const std::vector<DatabaseNode> tree = BuildDatabaseTree(doc, DatabaseKind::kSection, 1);
  ASSERT_EQ(tree.size(), 1u);
  EXPECT_EQ(tree[0].icon, 1);
  ASSERT_EQ(tree[0].children.size(), 1u);
  ASSERT_EQ(tree[0].children[0].children.size(), 1u);
  EXPECT_TRUE(tree[0].children[0].children[0].selectable);
  EXPECT_EQ(DatabaseEntryValue(tree[0].children[0].children[0].text), "\xff");
}

TEST_F(FaultTest, TipsFilesMissingEmptyBinaryOrEnormous) {
  DiskFileAccess disk;
  MemorySettings settings;
  const auto expectClosed = [&](const std::string& path) {
    TipReader reader(settings, disk, path, "T");
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.Tip(), kTipsFileMissing);
    EXPECT_EQ(reader.GetNextTipString(), "");
  };
  expectClosed(dir_ + "/missing.tip");
  expectClosed(Folder("folder.tip"));
  const std::string enormous = dir_ + "/enormous.tip";
  WriteSparseFile(enormous, (off_t{1} << 20) + 1);
  expectClosed(enormous);
  EXPECT_TRUE(settings.ints.empty());  // a closed reader stores no position

  const std::string empty = dir_ + "/empty.tip";
  WriteBytes(empty, "");
  {
    TipReader reader(settings, disk, empty, "T");
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_EQ(reader.Tip(), "");
    reader.NextTip();
    EXPECT_EQ(reader.Tip(), "");
  }

  // Binary bytes: every piece whose first byte is not a skip character is a tip; a file of
  // zeros as large as the limit allows is 1049 tips of 999 zero bytes and one of 625.
  const std::string binary = dir_ + "/binary.tip";
  WriteBytes(binary, "\x00\x01\n\xff\r\n;\x00\n \x80\n"s);
  {
    TipReader reader(settings, disk, binary, "T2");
    EXPECT_EQ(reader.Tip(), "\x00\x01"s);
    reader.NextTip();
    EXPECT_EQ(reader.Tip(), "\xff");
    reader.NextTip();
    EXPECT_EQ(reader.Tip(), "\x00\x01"s);
  }
  const std::string zeros = dir_ + "/zeros.tip";
  WriteSparseFile(zeros, off_t{1} << 20);
  {
    TipReader reader(settings, disk, zeros, "T3");
    EXPECT_EQ(reader.Tip(), std::string(999, '\0'));
    for (int i = 0; i < 1048; ++i) reader.NextTip();
    EXPECT_EQ(reader.Tip(), std::string(999, '\0'));
    reader.NextTip();
    EXPECT_EQ(reader.Tip(), std::string(625, '\0'));
    reader.NextTip();
    EXPECT_EQ(reader.Offset(), 999u);
  }
}

}  // namespace
}  // namespace spanlab
