#include "core/lists/ListFile.h"
#include "core/util/FileIo.h"

#include "tests/support/FileTestSupport.h"
#include "tests/support/ListFixture.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

// flashwerk --print-pdf run as a user would, without a display; the PDF read back as text.
namespace fw {
namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string err;
};

// A TV list with programs "Sender 0" .. "Sender count-1" on places 0 .. count-1.
std::string ListText(int count) {
    std::string text = ListFileHead("TV", "Testliste");
    for (int i = 0; i < count; ++i)
        text += "\tSender " + std::to_string(i) + "\t" + std::to_string(11000 + i) +
                "\tH\t27500\t3\\4\t" + std::to_string(28000 + i) + "\t101\t102\t101\t1\r\n";
    return text + test::kBankLabels + "\r\n";
}

class PrintPdfTest : public ::testing::Test {
protected:
    void SetUp() override { Write(m_list, ListText(130)); }

    static void Write(const std::string& path, const std::string& text) {
        std::string reason;
        ASSERT_TRUE(WriteFileAtomically(path, text, reason)) << reason;
    }

    ProgramRun Print(const std::vector<std::string>& arguments,
                     const std::string& language = "en") {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("FLASHWERK_LANG"), QString::fromStdString(language));
        process.setProcessEnvironment(environment);
        QStringList list{QStringLiteral("--data-dir"), QString::fromStdString(m_dir.File("data"))};
        for (const std::string& argument : arguments)
            list << QString::fromStdString(argument);
        process.start(QStringLiteral(FLASHWERK_PROGRAM), list);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), process.readAllStandardError().toStdString()};
    }

    // The text of one page, or of all pages without a page number.
    static std::string PdfText(const std::string& pdf, int page = 0) {
        QProcess process;
        QStringList arguments{QStringLiteral("-layout")};
        if (page > 0)
            arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                      << QString::number(page);
        arguments << QString::fromStdString(pdf) << QStringLiteral("-");
        process.start(QStringLiteral("pdftotext"), arguments);
        EXPECT_TRUE(process.waitForFinished(60000)) << "pdftotext (poppler-utils) is needed";
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.readAllStandardOutput().toStdString();
    }

    static std::string Contents(const std::string& path) {
        std::string data, reason;
        return ReadWholeFile(path, data, reason) ? data : "<missing>";
    }

    test::TempDir m_dir;
    std::string m_list = m_dir.File("liste.lst");
    std::string m_pdf = m_dir.File("liste.pdf");
};

TEST_F(PrintPdfTest, ExitCodesAndWhatIsLeftOnDisk) {
    Write(m_dir.File("empty.lst"), "");
    Write(m_dir.File("old.pdf"), "old");
    const std::string pipe = m_dir.File("pipe.pdf");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        std::string outFile, outContents; // "<missing>" when nothing may be written
    } cases[] = {
        {{"--print-pdf", m_dir.File("empty.lst"), m_pdf}, 2, m_pdf, "<missing>"},
        {{"--print-pdf", m_dir.File("none.lst"), m_pdf}, 2, m_pdf, "<missing>"},
        {{"--print-pdf", m_list, m_pdf, "--rows", "4000"}, 2, m_pdf, "<missing>"},
        {{"--print-pdf", m_list, m_dir.File("old.pdf")}, 2, m_dir.File("old.pdf"), "old"},
        {{"--force", "--print-pdf", m_list, m_list}, 2, m_list, ListText(130)},
        {{"--print-pdf", m_list, m_dir.File("old.pdf"), "--force"}, 0, "", ""},
        {{"--print-pdf", m_list, pipe, "--force"}, 2, pipe, "<missing>"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Print(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments[1] << run.err;
        if (!c.outFile.empty()) {
            EXPECT_EQ(Contents(c.outFile), c.outContents) << c.arguments[1];
        }
    }
    EXPECT_EQ(Contents(m_dir.File("old.pdf")).substr(0, 5), "%PDF-");
    EXPECT_TRUE(std::filesystem::is_fifo(pipe)) << "a pipe is never replaced by a file";
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("data/upd.ini"))) << "upd.ini is not written";
}

TEST_F(PrintPdfTest, PagesCarryHeaderNumbersCheckedColumnsAndTheChosenRows) {
    std::filesystem::create_directories(m_dir.File("data"));
    Write(m_dir.File("data/upd.ini"),
          "[PRINT]\r\nHEAD=Wohnzimmer\r\nCOLCHECK=1|0|1|1|1|1|1|1|1|1|1|1\r\n");
    ASSERT_EQ(Print({"--print-pdf", m_list, m_pdf}).exitCode, 0);
    const std::string first = PdfText(m_pdf, 1);
    const std::string second = PdfText(m_pdf, 2);
    EXPECT_NE(first.find("Wohnzimmer"), std::string::npos) << first;
    EXPECT_NE(first.find("Page 1"), std::string::npos);
    EXPECT_NE(second.find("Page 2"), std::string::npos) << second;
    EXPECT_NE(first.find("Program name"), std::string::npos);
    EXPECT_NE(first.find("FreqMHz"), std::string::npos);
    EXPECT_EQ(first.find(" Ca "), std::string::npos) << "an unchecked column is not printed";
    EXPECT_NE(PdfText(m_pdf).find("Sender 129"), std::string::npos);

    const std::string selected = m_dir.File("selected.pdf");
    ASSERT_EQ(Print({"--print-pdf", m_list, selected, "--rows", "7,3-4"}).exitCode, 0);
    const std::string text = PdfText(selected);
    for (const char* name : {"Sender 3 ", "Sender 4 ", "Sender 7 "})
        EXPECT_NE(text.find(name), std::string::npos) << name;
    for (const char* name : {"Sender 2 ", "Sender 5 ", "Sender 8 "})
        EXPECT_EQ(text.find(name), std::string::npos) << name;
    EXPECT_LT(text.find("Sender 3 "), text.find("Sender 7 ")) << "rows in grid order";
}

// Settings no page can hold end the run with exit code 2 and a message naming the setting,
// and leave no PDF.
TEST_F(PrintPdfTest, PrintSettingsWithoutRoomForOneRowAreRefused) {
    const struct {
        const char* settings;
        const char* named;
    } cases[] = {
        {"UP=178956971", "(UP=178956971, DOWN=20)"},
        {"RIGHT=-2147483648", "(LEFT=20, RIGHT=-2147483648)"},
        {"FONTMAIN=0|0|600000001|0|0|0|0|0|0|0|400|0|0|ARIAL", "(FONTMAIN, height 600000001)"},
        {"FONTHEAD=0|0|-900|0|0|0|0|0|0|0|400|0|0|ARIAL", "(FONTHEAD, height -900)"},
    };
    std::filesystem::create_directories(m_dir.File("data"));
    for (const auto& c : cases) {
        Write(m_dir.File("data/upd.ini"), std::string("[PRINT]\r\n") + c.settings + "\r\n");
        const ProgramRun run = Print({"--print-pdf", m_list, m_pdf});
        EXPECT_EQ(run.exitCode, 2) << c.settings;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(m_pdf)) << c.settings;
    }
}

TEST_F(PrintPdfTest, GermanPrintoutAndPicturesOfAPage) {
    for (const std::string language : {"de", "en"}) {
        const std::string pdf = m_dir.File(language + ".pdf");
        ASSERT_EQ(Print({"--print-pdf", m_list, pdf}, language).exitCode, 0);
        if (language == "de") {
            const std::string text = PdfText(pdf, 2);
            for (const char* word : {"Programmpoolliste", "Seite 2", "Programmname"})
                EXPECT_NE(text.find(word), std::string::npos) << word << "\n" << text;
        }
        // A page to look at after the run.
        const std::string folder = FLASHWERK_SCREENSHOT_DIR;
        std::filesystem::create_directories(folder);
        QProcess render;
        render.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("100"),
                      QStringLiteral("-singlefile"), QString::fromStdString(pdf),
                      QString::fromStdString(folder + "/printed-page-" + language)});
        ASSERT_TRUE(render.waitForFinished(60000));
        EXPECT_EQ(render.exitCode(), 0);
    }
}

} // namespace
} // namespace fw
