// navaid apply: DATABASE.new takes the database's place, the earlier one kept
// as DATABASE.bak; at no moment is there no DATABASE.
#include <cerrno>
#include <utility>

#include "command.h"
#include "interrupt.h"
#include "staged_output.h"
#include "working_copy.h"

namespace navaid::cli {

namespace {

// The names apply moves between, as given and as the system finds them.
struct Names {
    std::string database, next, backup;  // as the user names them
    std::string real;                    // the file DATABASE's links lead to
    io::OutputStatus earlier;            // that file's mode and owner, for the new one
    std::string temporary;               // the backup while it is made
    bool backupIsEarlier = false;        // DATABASE.bak is a second link to that file
};

Outcome RefuseLink(const std::string& path, const char* why) {
    bool link = false;
    if (Outcome queried = io::IsLink(path, link); !queried || !link) return queried;
    return Outcome::Failure(path, std::string("is a link; ") + why);
}

// The database is replaced where its links lead, as outputs are; a
// write-protected one is the user's and stays.
Outcome CheckDatabase(Names& names) {
    io::OutputTarget target;
    if (Outcome resolved = io::ResolveOutput(names.database, target); !resolved) return resolved;
    if (target.descriptor >= 0)
        return Outcome::Failure(names.database, "names a descriptor of this run, not a file");
    names.real = target.path;
    if (Outcome queried = io::QueryOutput(names.real, names.earlier); !queried) return queried;
    if ((names.earlier.mode & 0222) == 0)
        return Outcome::Failure(names.database, io::ErrorText(EACCES));
    return Outcome::Success();
}

// DATABASE.new is moved itself: it must be a file of whole records of the
// family, as the edits write it. `count` gets its records.
Outcome CheckNext(const std::string& next, Family family, std::uint64_t& count) {
    if (Outcome refused = RefuseLink(next, "apply moves the file itself"); !refused) return refused;
    bool regular = false;
    if (Outcome queried = io::IsRegularFile(next, regular); !queried) {
        queried.reason += "; nothing to apply";
        return queried;
    }
    if (!regular) return Outcome::Failure(next, "not a regular file, as a database must be");
    DatabaseFile file;
    if (Outcome opened = file.Open(next, family); !opened) return opened;
    std::string look;
    if (Outcome sampled = file.OtherFamilyLook(look); !sampled) return sampled;
    if (!look.empty()) return Outcome::Failure(next, look);
    if (file.Bytes() % RecordSize(family) != 0)
        return Outcome::Failure(
            "", Misaligned(next, family, file.Bytes()) + "; only whole records are put in place");
    count = file.Count();
    return file.Close();
}

// DATABASE.bak is replaced by name: a link or anything but a file there stays.
Outcome CheckBackup(const std::string& backup) {
    if (Outcome refused = RefuseLink(backup, "apply keeps the earlier database in a file there");
        !refused)
        return refused;
    io::OutputStatus status;
    if (Outcome queried = io::QueryOutput(backup, status); !queried) return queried;
    using Kind = io::OutputStatus::Kind;
    if (status.kind == Kind::Folder) return Outcome::Failure(backup, io::ErrorText(EISDIR));
    if (status.kind != Kind::Missing && status.kind != Kind::Regular)
        return Outcome::Failure(backup,
                                "not a regular file; apply keeps the earlier database there");
    if (status.kind == Kind::Regular && (status.mode & 0222) == 0)
        return Outcome::Failure(backup, io::ErrorText(EACCES));
    return Outcome::Success();
}

// Whether `path` and `other` are one entry of one folder, not two links to a file.
Outcome SameEntry(const std::string& path, const std::string& other, bool& same) {
    same = false;
    if (io::NameOf(path) != io::NameOf(other)) return Outcome::Success();
    return io::SameFile(io::FolderOf(path), io::FolderOf(other), same);
}

// Two of the three names on one file would move a file onto itself and lose
// the earlier database; only a .bak that is another link to it already holds it.
Outcome CheckDistinct(Names& names) {
    const std::string kept = "apply keeps the earlier database there";
    const std::pair<const std::string*, std::string> pairs[] = {
        {&names.real, "is " + ShownName(names.database) + " itself; nothing to apply"},
        {&names.backup, "is " + ShownName(names.backup) + " itself; " + kept}};
    bool same = false;
    for (const auto& [other, why] : pairs) {
        if (Outcome queried = io::SameFile(names.next, *other, same); !queried) return queried;
        if (same) return Outcome::Failure(names.next, why);
    }
    if (Outcome queried = io::SameFile(names.real, names.backup, same); !queried || !same)
        return queried;
    if (Outcome queried = SameEntry(names.real, names.backup, same); !queried) return queried;
    if (same)
        return Outcome::Failure(names.database,
                                "is a link to " + ShownName(names.backup) +
                                    ", where apply keeps the earlier database");
    names.backupIsEarlier = true;
    return Outcome::Success();
}

// A failure named by the user's names, and what stands where after it.
Outcome Told(Outcome failure, const Names& names, const std::string& where) {
    if (failure.file == names.temporary) failure.file = names.backup;
    if (failure.file == names.real) failure.file = names.database;
    failure.reason += "; " + where;
    return failure;
}

// A failure to flush the folder of `path`, told of the file moved there.
Outcome InFolder(const Outcome& flushed, const std::string& path) {
    return Outcome::Failure(path, flushed.reason + ", flushing its folder to the disk");
}

// The backup in place first, then the new database over the earlier one,
// each move flushed to the disk with its folder, the signals held.
Outcome Moves(const Names& names) {
    if (names.backupIsEarlier) {
        Outcome moved = io::MoveIntoPlace(names.next, names.real);
        return moved ? moved : Told(moved, names, "nothing was moved");
    }
    if (Outcome moved = io::MoveIntoPlace(names.temporary, names.backup); !moved) {
        io::RemoveFile(names.temporary);
        return Told(moved, names, "nothing was moved");
    }
    const std::string kept = ShownName(names.database) + " is as it was, " +
                             ShownName(names.backup) + " a copy of it and " +
                             ShownName(names.next) + " where it was";
    if (Outcome flushed = io::FlushFolder(names.backup); !flushed)
        return Told(InFolder(flushed, names.backup), names, kept);
    if (Outcome moved = io::MoveIntoPlace(names.next, names.real); !moved)
        return Told(moved, names, kept);
    return Outcome::Success();
}

// The backup made under a temporary name; the new database given the earlier one's mode.
Outcome Prepare(Names& names) {
    if (names.backupIsEarlier) {
        Outcome kept = io::KeepOwnership(names.next, names.earlier);
        return kept ? kept : Told(kept, names, "nothing was moved");
    }
    names.temporary = StagedOutput::TemporaryName(names.backup);
    RemoveOnInterrupt(names.temporary);
    bool linked = false;
    Outcome result = LinkOrCopy(names.real, names.temporary, linked);
    // A link is the database's own file; a copy takes its mode, as the new database does.
    if (result && !linked) result = io::KeepOwnership(names.temporary, names.earlier);
    if (result) result = io::KeepOwnership(names.next, names.earlier);
    if (!result) io::RemoveFile(names.temporary);
    return result ? result : Told(result, names, "nothing was moved");
}

Outcome Replace(Names& names) {
    Outcome result = Prepare(names);
    if (result) result = MoveHeld(names.temporary, [&] { return Moves(names); });
    if (!result) {
        ForgetOnInterrupt(names.temporary);
        return result;
    }
    if (Outcome flushed = io::FlushFolder(names.real); !flushed)
        return Told(
            InFolder(flushed, names.database), names,
            "the earlier one is " + ShownName(names.backup) + " (the new file is in place)");
    return Outcome::Success();
}

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    Names names{database, WorkingCopyName(database), BackupName(database), {}, {}, {}};
    // Closed first: Windows moves no file over one held open.
    if (Outcome closed = line.Database().Close(); !closed) return closed;
    std::uint64_t count = 0;
    if (Outcome checked = CheckDatabase(names); !checked) return checked;
    if (Outcome checked = CheckNext(names.next, line.family, count); !checked) return checked;
    if (Outcome checked = CheckBackup(names.backup); !checked) return checked;
    if (Outcome checked = CheckDistinct(names); !checked) return checked;
    if (Outcome replaced = Replace(names); !replaced) return replaced;
    console.out << ShownName(database) << ": " << Records(count) << " (was "
                << line.databaseBytes / RecordSize(line.family) << "); the earlier one is "
                << ShownName(names.backup) << "\n";
    return kExitOk;
}

}  // namespace

const CommandInfo kApplyCommand{
    "apply",
    "replace the database by DATABASE.new, keeping it as DATABASE.bak",
    {"DATABASE"},
    {},
    kReadsDatabase,
    "Puts DATABASE.new, as an edit, 'import' or 'update' wrote it, in the place of\n"
    "DATABASE, and keeps the earlier DATABASE as DATABASE.bak (replacing an\n"
    "earlier one). The backup is made first, as a second link to the file or,\n"
    "where the file system makes none, as a copy; then DATABASE.new is moved\n"
    "over DATABASE, so that DATABASE is always there, the earlier file or the\n"
    "new one. Where DATABASE is a link, the file it leads to is replaced.\n"
    "\n"
    "A missing DATABASE or DATABASE.new, a DATABASE.new that is a link or not\n"
    "whole records of the family (told by its content, as the edits tell it),\n"
    "a DATABASE.bak that is a link or no file, and two of the three names\n"
    "that are one file are refused with status 1, and nothing is moved (a\n"
    "DATABASE.bak that is a second link to DATABASE already is the backup);\n"
    "a failure on the way says what stands where.\n"
    "\n"
    "Example:\n"
    "  navaid update vor vor.qvz nav.dat --add-new --remove-withdrawn\n"
    "  navaid apply vor vor.qvz\n",
    Run};

}  // namespace navaid::cli
