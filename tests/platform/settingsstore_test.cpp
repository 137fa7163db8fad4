// The settings store: keys and values, the file format, damaged files, concurrent writers.

#include "src/platform/settingsstore.h"
#include "tests/support/testenv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <sys/file.h>
#include <unistd.h>

using platform::SettingsKey;
using platform::SettingsStore;
using platform::SettingsValue;

namespace
{

const QString kLayout = QStringLiteral("Software\\Vantrel\\Vantrel\\Layout");
const char kUserHeader[] = "Windows Registry Editor Version 5.00\n\n";

QString userFile()
{
    return SettingsStore::instance().filePath(HKEY_CURRENT_USER);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

// Files beside the user file whose names start with the given text.
QStringList siblings(const QString& prefix)
{
    const QFileInfo info(userFile());
    return QDir(info.absolutePath()).entryList({prefix + QStringLiteral("*")}, QDir::Files);
}

// A value as read, or nothing when the read fails.
std::optional<DWORD> numberOf(const SettingsKey& key, const QString& name)
{
    DWORD value = 0;
    return key.readNumber(name, value) ? std::optional<DWORD>(value) : std::nullopt;
}

QString textOf(const SettingsKey& key, const QString& name)
{
    QString value;
    return key.readText(name, value) ? value : QStringLiteral("<unreadable>");
}

QByteArray binaryOf(const SettingsKey& key, const QString& name)
{
    QByteArray value;
    return key.readBinary(name, value) ? value : QByteArray("<unreadable>");
}

} // namespace

TEST(SettingsStore, WrittenValuesAreInTheFileAtOnceAndReadBack)
{
    SettingsKey key = SettingsKey::create(HKEY_CURRENT_USER, kLayout);
    ASSERT_TRUE(key);
    // What a first read of a setting does: store the default at once.
    EXPECT_EQ(numberOf(key, "Show Unread Items Only"), std::nullopt);
    ASSERT_TRUE(key.writeNumber("Show Unread Items Only", 0));
    ASSERT_TRUE(key.writeText("Home Page", "http://example.com/"));

    const QString text = readFile(userFile());
    EXPECT_TRUE(text.startsWith(kUserHeader));
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Vantrel\\Vantrel\\Layout]\n"
                              "\"Show Unread Items Only\"=dword:00000000\n"
                              "\"Home Page\"=\"http://example.com/\"\n"))
        << text.toStdString();

    SettingsStore::instance().reset(); // the next read comes from the file
    const SettingsKey again = SettingsKey::open(HKEY_CURRENT_USER, kLayout);
    EXPECT_EQ(numberOf(again, "Show Unread Items Only"), 0u);
    EXPECT_EQ(textOf(again, "Home Page"), "http://example.com/");
    EXPECT_EQ(siblings(".user.reg.tmp"), QStringList()); // no temporary files left behind
}

TEST(SettingsStore, KeyAndValueNamesMatchWithoutRegardToCaseAndKeepTheirCase)
{
    SettingsKey key =
        SettingsKey::create(HKEY_CURRENT_USER, "Software\\Vantrel\\Vantrel\\Settings\\ReadHall");
    ASSERT_TRUE(key.writeNumber("Column Width", 120));
    SettingsKey other = SettingsKey::open(HKEY_CURRENT_USER,
                                          "SOFTWARE\\vantrel\\Vantrel\\Settings\\Readhall", true);
    ASSERT_TRUE(other);
    EXPECT_EQ(numberOf(other, "COLUMN WIDTH"), 120u);
    ASSERT_TRUE(other.writeNumber("column width", 80));

    SettingsKey settings =
        SettingsKey::open(HKEY_CURRENT_USER, "Software\\Vantrel\\Vantrel\\Settings");
    EXPECT_EQ(settings.subKeyNames(), QStringList{"ReadHall"});
    EXPECT_EQ(key.valueNames(), QStringList{"Column Width"});
    EXPECT_EQ(numberOf(key, "Column Width"), 80u);
}

TEST(SettingsStore, OddTextsAndBinaryValuesRoundTripThroughTheFile)
{
    SettingsKey key = SettingsKey::create(HKEY_CURRENT_USER, kLayout);
    const std::pair<QString, QString> texts[] = {
        {"Quoted", R"(say "hi" in c:\dir\ and \\server)"},
        {"Multi", "line one\nline two\r\n\ttabbed"},
        {"Unicode", QString::fromUtf8("Grüße, 東京, emoji \xF0\x9F\x93\xB0")},
        {"Large", QString("0123456789abcdef\"\\").repeated(60000)},
        {"", "the default value"},
        {"Empty", ""}};
    const QByteArray binary = QByteArray("\x00\x01\xfe\xff\x7f", 5).repeated(40);
    for (const auto& [name, text] : texts)
        ASSERT_TRUE(key.writeText(name, text));
    ASSERT_TRUE(key.writeBinary("Bar State", binary));
    ASSERT_TRUE(key.writeNumber("Max", 0xFFFFFFFFu));
    ASSERT_TRUE(key.writeValue("Expand", SettingsValue::fromBinary({}, REG_NONE)));

    const QString file = readFile(userFile());
    EXPECT_TRUE(file.contains(R"("Quoted"="say \"hi\" in c:\\dir\\ and \\\\server")"));
    EXPECT_TRUE(file.contains("@=\"the default value\""));
    EXPECT_TRUE(file.contains("\"Multi\"=hex(1):"));
    EXPECT_TRUE(file.contains(QString::fromUtf8("\"Unicode\"=\"Grüße")));

    SettingsStore::instance().reset();
    for (const auto& [name, text] : texts)
        EXPECT_EQ(textOf(key, name), text) << name.toStdString();
    EXPECT_EQ(binaryOf(key, "Bar State"), binary);
    EXPECT_EQ(numberOf(key, "Max"), 0xFFFFFFFFu);
    EXPECT_EQ(key.valueType("Expand"), REG_NONE);
    EXPECT_TRUE(key.hasValue("Expand"));
    // A value of another type does not read as a number.
    EXPECT_EQ(numberOf(key, "Quoted"), std::nullopt);
}

TEST(SettingsStore, ReadsFilesWrittenByPeopleAndOtherTools)
{
    writeFile(userFile(), "REGEDIT4\r\n\r\n; a comment\r\n"
                          "[HKEY_CURRENT_USER\\Software\\Vantrel]\r\n"
                          "\"Data Path\"=\"/srv/vantrel\"\r\n"
                          "\"Count\"=dword:1f\r\n"
                          "\"Blob\"=hex:01,02,\\\r\n"
                          "  03,04\r\n"
                          "\"Gone\"=\"x\"\r\n"
                          "\"Gone\"=-\r\n"
                          "[-HKEY_CURRENT_USER\\Software\\Removed]\r\n");
    SettingsKey key = SettingsKey::open(HKEY_CURRENT_USER, "Software\\Vantrel");
    ASSERT_TRUE(key);
    EXPECT_EQ(textOf(key, "Data Path"), "/srv/vantrel");
    EXPECT_EQ(numberOf(key, "Count"), 0x1fu);
    EXPECT_EQ(binaryOf(key, "Blob"), QByteArray("\x01\x02\x03\x04"));
    EXPECT_FALSE(key.hasValue("Gone"));

    // Values of every type keep their type and bytes through a rewrite of the file.
    writeFile(userFile(), QByteArray(kUserHeader) + "[HKEY_CURRENT_USER\\Software\\Vantrel]\n"
                                                    "\"Expand\"=hex(2):25,00,48,00,00,00\n"
                                                    "\"Number\"=hex(4):10,00,00,00\n"
                                                    "\"Multi\"=hex(7):61,00,00,00,00,00\n"
                                                    "\"Wide\"=hex(b):01,00,00,00,00,00,00,00\n");
    ASSERT_TRUE(SettingsKey::create(HKEY_CURRENT_USER, "Software\\Vantrel").writeNumber("n", 1));
    SettingsStore::instance().reset();
    EXPECT_EQ(textOf(key, "Expand"), "%H");
    EXPECT_EQ(key.valueType("Expand"), REG_EXPAND_SZ);
    EXPECT_EQ(numberOf(key, "Number"), 16u);
    EXPECT_EQ(key.valueType("Multi"), REG_MULTI_SZ);
    EXPECT_EQ(key.readValue("Multi")->data, QByteArray("a\0\0\0\0\0", 6));
    EXPECT_EQ(key.valueType("Wide"), REG_QWORD);
    EXPECT_EQ(key.readValue("Wide")->data.size(), 8);

    // The desktop's own exports are UTF-16 with a byte order mark.
    const QString unicode = "Windows Registry Editor Version 5.00\r\n\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Vantrel]\r\n\"Name\"=\"Zoë\"\r\n";
    QByteArray utf16("\xff\xfe", 2);
    utf16.append(reinterpret_cast<const char*>(unicode.utf16()), unicode.size() * 2);
    writeFile(userFile(), utf16);
    EXPECT_EQ(textOf(SettingsKey::open(HKEY_CURRENT_USER, "Software\\Vantrel"), "Name"),
              QString::fromUtf8("Zoë"));
}

TEST(SettingsStore, KeysAreOpenedCreatedEnumeratedAndDeleted)
{
    EXPECT_FALSE(SettingsKey::open(HKEY_CURRENT_USER, kLayout));
    EXPECT_FALSE(SettingsKey::create(HKEY_CURRENT_USER, ""));
    // Names the file cannot hold are refused.
    EXPECT_FALSE(SettingsKey::create(HKEY_CURRENT_USER, "Software\\bad\tname"));
    SettingsKey readhall =
        SettingsKey::create(HKEY_CURRENT_USER, "Software\\Vantrel\\Vantrel\\Settings\\Readhall");
    ASSERT_TRUE(readhall);
    ASSERT_TRUE(readhall.createSubKey("NavBar\\Group 1").writeNumber("Items", 3));
    ASSERT_TRUE(readhall.createSubKey("Search"));
    ASSERT_TRUE(readhall.writeNumber("b", 1));
    ASSERT_TRUE(readhall.writeNumber("a", 2));
    EXPECT_FALSE(readhall.writeNumber("two\nlines", 1));
    EXPECT_EQ(readhall.subKeyNames(), (QStringList{"NavBar", "Search"}));
    EXPECT_EQ(readhall.valueNames(), (QStringList{"b", "a"}));

    // A key opened for reading refuses writes.
    SettingsKey readOnly = SettingsKey::open(HKEY_CURRENT_USER, "Software\\Vantrel");
    ASSERT_TRUE(readOnly);
    EXPECT_FALSE(readOnly.writeNumber("x", 1));
    EXPECT_FALSE(readOnly.hasValue("x"));

    EXPECT_TRUE(readhall.deleteValue("B"));
    EXPECT_FALSE(readhall.deleteValue("b"));
    EXPECT_EQ(readhall.valueNames(), QStringList{"a"});
    EXPECT_TRUE(readhall.deleteSubKeyTree("navbar"));
    EXPECT_FALSE(SettingsKey::open(
        HKEY_CURRENT_USER, "Software\\Vantrel\\Vantrel\\Settings\\Readhall\\NavBar\\Group 1"));
    EXPECT_FALSE(readhall.deleteSubKeyTree("NavBar"));
    EXPECT_EQ(readhall.subKeyNames(), QStringList{"Search"});

    // A key deleted behind an open handle comes back on the next write.
    ASSERT_TRUE(SettingsStore::instance().deleteKeyTree(HKEY_CURRENT_USER, "Software\\Vantrel"));
    EXPECT_FALSE(readhall.hasValue("a"));
    EXPECT_TRUE(readhall.writeNumber("a", 5));
    EXPECT_TRUE(SettingsStore::instance().keyExists(HKEY_CURRENT_USER,
                                                    "Software\\Vantrel\\Vantrel\\Settings"));
}

TEST(SettingsStore, MachineRootIsReadOnlyUnlessAnInstallerOpensIt)
{
    const QString appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vantrel.exe";
    writeFile(rhtest::machineSettingsFile(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\" + appPaths.toUtf8() +
                  "]\n\"Path\"=\"/opt/vantrel/Program\"\n");
    EXPECT_EQ(textOf(SettingsKey::open(HKEY_LOCAL_MACHINE, appPaths), "Path"),
              "/opt/vantrel/Program");

    EXPECT_FALSE(SettingsKey::create(HKEY_LOCAL_MACHINE, "Software\\Other"));
    EXPECT_FALSE(SettingsKey::open(HKEY_LOCAL_MACHINE, appPaths, true));
    EXPECT_FALSE(SettingsStore::instance().writeValue(HKEY_LOCAL_MACHINE, appPaths, "Path",
                                                      SettingsValue::fromText("/elsewhere")));

    SettingsStore::instance().setMachineRootWritable(true);
    EXPECT_TRUE(SettingsKey::open(HKEY_LOCAL_MACHINE, appPaths, true).writeText("Path", "/x"));
    EXPECT_TRUE(readFile(rhtest::machineSettingsFile()).contains("\"Path\"=\"/x\""));
    // A missing machine file is an empty root.
    QFile::remove(rhtest::machineSettingsFile());
    EXPECT_FALSE(SettingsKey::open(HKEY_LOCAL_MACHINE, appPaths));
}

TEST(SettingsStore, ChangesMadeByAnotherWriterAreSeenOnTheNextRead)
{
    SettingsKey key = SettingsKey::create(HKEY_CURRENT_USER, kLayout);
    ASSERT_TRUE(key.writeNumber("Value", 1));
    ASSERT_EQ(numberOf(key, "Value"), 1u);
    // Someone edits the file by hand.
    writeFile(userFile(), QByteArray(kUserHeader) +
                              "[HKEY_CURRENT_USER\\Software\\Vantrel\\Vantrel\\Layout]\n"
                              "\"Value\"=dword:00000002\n\"Added\"=\"yes\"\n");
    EXPECT_EQ(numberOf(key, "Value"), 2u);
    // A write keeps what the other writer added.
    ASSERT_TRUE(key.writeNumber("Mine", 3));
    SettingsStore::instance().reset();
    EXPECT_EQ(textOf(key, "Added"), "yes");
}

// ---- damaged files

struct DamagedCase {
    const char* name;
    const char* contents;
};

using DamagedSettingsFile = ::testing::TestWithParam<DamagedCase>;

TEST_P(DamagedSettingsFile, IsKeptAsideWithAMessageAndTheRootStartsEmpty)
{
    const QByteArray contents = GetParam().contents;
    writeFile(userFile(), contents);

    ::testing::internal::CaptureStderr();
    SettingsKey key = SettingsKey::open(HKEY_CURRENT_USER, "Software\\Vantrel");
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(key);
    EXPECT_NE(message.find("is damaged"), std::string::npos) << message;
    EXPECT_NE(message.find("user.reg.damaged-"), std::string::npos) << message;

    const QStringList aside = siblings("user.reg.damaged-");
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readFile(QFileInfo(userFile()).absolutePath() + "/" + aside.first()), contents);
    EXPECT_FALSE(QFile::exists(userFile()));

    // The program goes on with an empty root and saves new settings in a fresh file.
    ASSERT_TRUE(SettingsKey::create(HKEY_CURRENT_USER, kLayout).writeNumber("New", 1));
    EXPECT_TRUE(readFile(userFile()).contains("\"New\"=dword:00000001"));
    EXPECT_EQ(siblings("user.reg.damaged-").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedSettingsFile,
    ::testing::Values(
        DamagedCase{"BadHeader", "Settings\n[HKEY_CURRENT_USER\\Software\\Vantrel]\n"},
        DamagedCase{"UnclosedQuote", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vantrel]\n"
                                     "\"Name\"=\"open\n"},
        DamagedCase{"BadDword", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vantrel]\n"
                                "\"Name\"=dword:123456789\n"},
        DamagedCase{"BadHex", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vantrel]\n"
                              "\"Name\"=hex:01,zz\n"},
        DamagedCase{"UnknownEscape", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vantrel]\n"
                                     "\"Name\"=\"c:\\dir\"\n"},
        DamagedCase{"ValueOutsideKey", "REGEDIT4\n\"Name\"=\"x\"\n"},
        DamagedCase{"OtherRoot", "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Vantrel]\n"},
        DamagedCase{"GarbageLine", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vantrel]\nhello\n"},
        DamagedCase{"UnclosedKey", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vantrel\n"},
        DamagedCase{"NotUtf8", "REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Vantrel]\n"
                               "\"Name\"=\"\xff\xfe\xfd\"\n"}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return info.param.name; });

TEST(SettingsStore, ADamagedMachineFileIsKeptAsideTooButAnEmptyFileIsNotDamaged)
{
    writeFile(rhtest::machineSettingsFile(), "not a settings file");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(SettingsKey::open(HKEY_LOCAL_MACHINE, "SOFTWARE"));
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("machine.reg"), std::string::npos) << message;
    EXPECT_FALSE(QFile::exists(rhtest::machineSettingsFile()));
    EXPECT_EQ(QDir(rhtest::testRoot()).entryList({"machine.reg.damaged-*"}).size(), 1);

    // An empty file is an empty root, not a damaged one.
    writeFile(userFile(), "");
    EXPECT_FALSE(SettingsKey::open(HKEY_CURRENT_USER, "Software"));
    EXPECT_TRUE(siblings("user.reg.damaged-").isEmpty());
}

TEST(SettingsStore, CopiesLeftByKilledWritesGoWhenNobodyWrites)
{
    ASSERT_TRUE(SettingsKey::create(HKEY_CURRENT_USER, kLayout).writeNumber("Kept", 7));
    const QString folder = QFileInfo(userFile()).absolutePath();
    writeFile(folder + "/.user.reg.tmp-Ab12Cd", "REGEDIT4\n");
    writeFile(folder + "/.user.reg.tmp-Ef34Gh", "REGEDIT4\n");
    writeFile(folder + "/other.tmp-Ij56Kl", "not ours");

    // While another writer holds the lock, its copy may be the one being written: kept.
    const int fd = ::open(QFile::encodeName(userFile() + ".lock").constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    SettingsStore::instance().reset();
    EXPECT_EQ(numberOf(SettingsKey::open(HKEY_CURRENT_USER, kLayout), "Kept"), 7u);
    auto leftovers = [&] {
        return QDir(folder).entryList({".user.reg.tmp-*"}, QDir::Files | QDir::Hidden).size();
    };
    EXPECT_EQ(leftovers(), 2);
    ::close(fd);

    // The next look, with nobody writing, removes them and nothing else.
    EXPECT_EQ(numberOf(SettingsKey::open(HKEY_CURRENT_USER, kLayout), "Kept"), 7u);
    EXPECT_EQ(leftovers(), 0);
    EXPECT_TRUE(QFile::exists(folder + "/other.tmp-Ij56Kl"));
}

// ---- two processes writing at once

namespace
{
const char* kChildConfig = "RH_PLATFORM_TEST_CHILD_CONFIG";
const char* kChildPrefix = "RH_PLATFORM_TEST_CHILD_PREFIX";
// Each write flushes the file and its folder: enough writes to interleave, few enough that a
// busy disk does not run out the wait.
constexpr int kWritesPerProcess = 30;
} // namespace

// Run only as a child of the test below: writes values into the parent's store.
TEST(SettingsStoreChild, DISABLED_WriteValues)
{
    qputenv("XDG_CONFIG_HOME", qgetenv(kChildConfig));
    SettingsStore::instance().reset();
    const QString prefix = QString::fromUtf8(qgetenv(kChildPrefix));
    SettingsKey key = SettingsKey::create(HKEY_CURRENT_USER, kLayout);
    ASSERT_TRUE(key);
    for (int i = 0; i < kWritesPerProcess; ++i)
        ASSERT_TRUE(key.writeNumber(QStringLiteral("%1 %2").arg(prefix).arg(i), DWORD(i)));
}

TEST(SettingsStore, TwoProcessesWritingAtOnceLoseNothing)
{
    ASSERT_TRUE(SettingsKey::create(HKEY_CURRENT_USER, kLayout).writeText("Before", "kept"));
    std::vector<std::unique_ptr<QProcess>> children;
    for (const char* prefix : {"first", "second"}) {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kChildConfig, rhtest::configHome());
        env.insert(kChildPrefix, prefix);
        child->setProcessEnvironment(env);
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child->start(QCoreApplication::applicationFilePath(),
                     {"--gtest_also_run_disabled_tests",
                      "--gtest_filter=SettingsStoreChild.DISABLED_WriteValues"});
        children.push_back(std::move(child));
    }
    for (auto& child : children) {
        ASSERT_TRUE(child->waitForFinished(60000));
        EXPECT_EQ(child->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child->exitCode(), 0) << child->readAllStandardOutput().toStdString();
    }

    SettingsStore::instance().reset();
    SettingsKey key = SettingsKey::open(HKEY_CURRENT_USER, kLayout);
    for (const char* prefix : {"first", "second"}) {
        for (int i = 0; i < kWritesPerProcess; ++i)
            EXPECT_EQ(numberOf(key, QStringLiteral("%1 %2").arg(prefix).arg(i)), DWORD(i))
                << prefix << " " << i;
    }
    EXPECT_EQ(textOf(key, "Before"), "kept");
    EXPECT_EQ(key.valueNames().size(), 2 * kWritesPerProcess + 1);
}
