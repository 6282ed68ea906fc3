#include "app/commandline.h"
#include "app/commandwire.h"

#include <QTest>
#include <QtEndian>

Q_DECLARE_METATYPE(Command)

namespace {

Command make(Command::Verb verb, std::optional<QString> category = {}, std::optional<QString> text = {},
             QList<int> numbers = {}, bool json = false)
{
    Command command;
    command.verb = verb;
    command.category = std::move(category);
    command.text = std::move(text);
    command.numbers = std::move(numbers);
    command.json = json;
    return command;
}

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void parses_data();
    void parses();
    void refusesWithUsage_data();
    void refusesWithUsage();
    void tellsCommandsFromProgramStarts_data();
    void tellsCommandsFromProgramStarts();
    void messagesSurviveAnySplitOfTheirBytes();
    void readerRefusesPastItsBounds_data();
    void readerRefusesPastItsBounds();
    void requestHeaderIsChecked_data();
    void requestHeaderIsChecked();
};

void TestCommandLine::parses_data()
{
    using V = Command::Verb;
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<Command>("expected");
    QTest::newRow("add text") << QStringList{"add", "hello"} << make(V::Add, {}, QStringLiteral("hello"));
    QTest::newRow("add from input") << QStringList{"add"} << make(V::Add);
    QTest::newRow("add dash reads input") << QStringList{"add", "-"} << make(V::Add);
    QTest::newRow("add category before text")
        << QStringList{"add", "--category", "Build", "x"} << make(V::Add, QStringLiteral("Build"), QStringLiteral("x"));
    QTest::newRow("add category after text")
        << QStringList{"add", "x", "--category=Build"} << make(V::Add, QStringLiteral("Build"), QStringLiteral("x"));
    QTest::newRow("add text that looks like an option")
        << QStringList{"add", "--", "--json"} << make(V::Add, {}, QStringLiteral("--json"));
    QTest::newRow("add text with breaks and tabs")
        << QStringList{"add", "a\nb\tc"} << make(V::Add, {}, QStringLiteral("a\nb\tc"));
    QTest::newRow("add empty category name") << QStringList{"add", "--category=", "x"}
                                             << make(V::Add, QString(), QStringLiteral("x"));
    QTest::newRow("list") << QStringList{"list"} << make(V::List);
    QTest::newRow("list json of a category")
        << QStringList{"list", "--json", "--category", "Mail"} << make(V::List, QStringLiteral("Mail"), {}, {}, true);
    QTest::newRow("categories json") << QStringList{"categories", "--json"} << make(V::Categories, {}, {}, {}, true);
    QTest::newRow("read") << QStringList{"read", "3"} << make(V::Read, {}, {}, {3});
    QTest::newRow("copy with category") << QStringList{"copy", "1", "--category", "a b"}
                                        << make(V::Copy, QStringLiteral("a b"), {}, {1});
    QTest::newRow("paste in order given") << QStringList{"paste", "2", "1", "2"} << make(V::Paste, {}, {}, {2, 1, 2});
    QTest::newRow("popup") << QStringList{"popup"} << make(V::Popup);
    QTest::newRow("popup from the hotkey's binding") << QStringList{"popup", "--hotkey"} << [] {
        Command command = make(V::Popup);
        command.fromHotkey = true;
        return command;
    }();
    QTest::newRow("show") << QStringList{"show"} << make(V::Show);
    QTest::newRow("quit") << QStringList{"quit"} << make(V::Quit);
    QTest::newRow("--help") << QStringList{"--help"} << make(V::Help);
    QTest::newRow("help after a command") << QStringList{"paste", "--help"} << make(V::Help);
    QTest::newRow("--version") << QStringList{"--version"} << make(V::Version);
    QTest::newRow("largest number") << QStringList{"read", "2147483647"} << make(V::Read, {}, {}, {2147483647});
}

void TestCommandLine::parses()
{
    QFETCH(QStringList, args);
    QFETCH(Command, expected);
    const CommandLine::Parsed parsed = CommandLine::parse(args);
    QVERIFY2(parsed.command, qPrintable(parsed.usageError));
    QVERIFY(*parsed.command == expected);
}

void TestCommandLine::refusesWithUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("says");
    QTest::newRow("unknown command") << QStringList{"paste-all"} << "unknown command \"paste-all\"";
    QTest::newRow("unknown long option as command") << QStringList{"--bogus"} << "unknown command";
    QTest::newRow("missing number") << QStringList{"read"} << "read needs an item number";
    QTest::newRow("paste without numbers") << QStringList{"paste", "--category", "A"} << "paste needs an item number";
    QTest::newRow("two numbers for copy") << QStringList{"copy", "1", "2"} << "copy takes one item number";
    QTest::newRow("zero") << QStringList{"read", "0"} << "start at 1";
    QTest::newRow("negative is an option") << QStringList{"read", "-1"} << "does not take the option \"-1\"";
    QTest::newRow("not a number") << QStringList{"paste", "1", "two"} << "\"two\" is not an item number";
    QTest::newRow("signed") << QStringList{"read", "+1"} << "is not an item number";
    QTest::newRow("fraction") << QStringList{"read", "1.5"} << "is not an item number";
    QTest::newRow("other digits") << QStringList{"read", QStringLiteral("\u0663")} << "is not an item number";
    QTest::newRow("past int") << QStringList{"read", "2147483648"} << "too large";
    QTest::newRow("far past int") << QStringList{"read", "99999999999999999999999"} << "too large";
    QTest::newRow("category without name") << QStringList{"list", "--category"} << "needs a category name";
    QTest::newRow("category twice") << QStringList{"add", "--category", "a", "--category", "b"} << "twice";
    QTest::newRow("json where none") << QStringList{"read", "1", "--json"} << "does not take the option \"--json\"";
    QTest::newRow("category where none") << QStringList{"categories", "--category", "a"} << "does not take the option";
    QTest::newRow("two texts") << QStringList{"add", "a", "b"} << "add takes one TEXT";
    QTest::newRow("argument to quit") << QStringList{"quit", "now"} << "quit takes no argument \"now\"";
    QTest::newRow("control characters are not echoed")
        << QStringList{QStringLiteral("a\nb\x1b[2J")} << "unknown command \"a?b?[2J\"";
}

void TestCommandLine::refusesWithUsage()
{
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    const CommandLine::Parsed parsed = CommandLine::parse(args);
    QVERIFY(!parsed.command);
    QVERIFY2(parsed.usageError.contains(says), qPrintable(parsed.usageError));
    QVERIFY(!parsed.usageError.contains(QLatin1Char('\n')));
}

void TestCommandLine::tellsCommandsFromProgramStarts_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("command");
    QTest::newRow("plain start") << QStringList{} << false;
    QTest::newRow("Qt's display option") << QStringList{"-display", ":1"} << false;
    QTest::newRow("Qt's session option") << QStringList{"-session", "abc"} << false;
    QTest::newRow("a command") << QStringList{"list"} << true;
    QTest::newRow("an unknown word is a usage error, not a start") << QStringList{"lsit"} << true;
    QTest::newRow("a long option") << QStringList{"--version"} << true;
    QTest::newRow("short help") << QStringList{"-h"} << true;
}

void TestCommandLine::tellsCommandsFromProgramStarts()
{
    QFETCH(QStringList, args);
    QFETCH(bool, command);
    QCOMPARE(CommandLine::isCommand(args), command);
}

void TestCommandLine::messagesSurviveAnySplitOfTheirBytes()
{
    const CommandWire::Request request{{QStringLiteral("add"), QStringLiteral("--category"), QStringLiteral("Été\n")},
                                       QStringLiteral("/tmp"), QByteArray("in\0put\xff", 7)};
    const QByteArray bytes = CommandWire::encode(request) + CommandWire::encode(CommandWire::Reply::progress());
    for (const int step : {1, 3, 7, 1000}) {
        CommandWire::Reader reader(CommandWire::MaxInputBytes);
        QByteArray pending;
        qsizetype at = 0;
        while (reader.state() == CommandWire::Reader::State::NeedMore && at < bytes.size()) {
            pending += bytes.mid(at, step);
            at += step;
            reader.feed(pending);
        }
        QCOMPARE(reader.state(), CommandWire::Reader::State::Complete);
        QString problem;
        const auto decoded = CommandWire::decodeRequest(reader.header(), reader.takePayload(), &problem);
        QVERIFY2(decoded, qPrintable(problem));
        QCOMPARE(decoded->args, request.args);
        QCOMPARE(decoded->workingFolder, request.workingFolder);
        QCOMPARE(decoded->input, request.input);
        // What follows the request is the next message, left whole.
        pending += bytes.mid(at);
        CommandWire::Reader next(0);
        QCOMPARE(next.feed(pending), CommandWire::Reader::State::Complete);
        const auto reply = CommandWire::decodeReply(next.header(), next.takePayload(), &problem);
        QVERIFY(reply && reply->working);
    }
}

void TestCommandLine::readerRefusesPastItsBounds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("says");
    const auto be = [](quint32 value) {
        QByteArray bytes(4, 0);
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    QTest::newRow("empty header") << be(0) << "not understood";
    QTest::newRow("header past its bound") << be(CommandWire::MaxHeaderBytes + 1) << "not understood";
    QTest::newRow("input past 16 MB, refused before a byte of it")
        << be(2) + "{}" + be(CommandWire::MaxInputBytes + 1) << "larger than 16 MB";
    QTest::newRow("4 GB announced") << be(2) + "{}" + be(0xffffffffu) << "larger than 16 MB";
}

void TestCommandLine::readerRefusesPastItsBounds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, says);
    CommandWire::Reader reader(CommandWire::MaxInputBytes);
    QCOMPARE(reader.feed(bytes), CommandWire::Reader::State::Broken);
    QVERIFY2(reader.problem().contains(says), qPrintable(reader.problem()));
    QVERIFY(reader.payload().capacity() <= 16);
}

void TestCommandLine::requestHeaderIsChecked_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QString>("says");
    QTest::newRow("not JSON") << QByteArray("\xff\xfe{") << "not understood";
    QTest::newRow("an array") << QByteArray("[1,2]") << "not understood";
    QTest::newRow("another version") << QByteArray(R"({"version":2,"args":["list"]})") << "version 1";
    QTest::newRow("no version") << QByteArray(R"({"args":["list"]})") << "version 1";
    QTest::newRow("args not a list") << QByteArray(R"({"version":1,"args":"list"})") << "not understood";
    QTest::newRow("an argument not a string") << QByteArray(R"({"version":1,"args":["read",1]})") << "not understood";
}

void TestCommandLine::requestHeaderIsChecked()
{
    QFETCH(QByteArray, header);
    QFETCH(QString, says);
    QString problem;
    QVERIFY(!CommandWire::decodeRequest(header, {}, &problem));
    QVERIFY2(problem.contains(says), qPrintable(problem));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
