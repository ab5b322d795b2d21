// Opening and saving panel files through the platform's choosers.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "logic/model/panels/PanelFile.h"
#include "tests/ui/UiFixture.h"
#include "ui/CalcPanel.h"

namespace corvane {
namespace {

class PanelFilesTest : public test::UiTest {
protected:
    PanelFilesTest() : model_(PanelKind::Flow, Locale{}) {
        PanelServices services;
        services.platform = &platform_;
        panel_ = std::make_unique<CalcPanel>(model_, services);
    }
    std::string path(const char* name) { return QDir(dir_.path()).filePath(name).toStdString(); }

    QTemporaryDir dir_;
    PanelModel model_;
    std::unique_ptr<CalcPanel> panel_;
};

TEST_F(PanelFilesTest, SaveThenOpen) {
    model_.editEntry(Ctl::IDmm_RightEdit, "40.000");
    platform_.saveAnswers.push_back(path("a.PW2"));
    panel_->saveFile();
    ASSERT_EQ(platform_.saveChoosers.size(), 1u);
    EXPECT_EQ(platform_.saveChoosers[0].filter, "Corvane FLOW (*.PW2)|*.PW2");
    EXPECT_EQ(platform_.saveChoosers[0].defaultExtension, "PW2");
    QFile saved(QString::fromStdString(path("a.PW2")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().toStdString(), SavePanelFile(model_));

    model_.editEntry(Ctl::IDmm_RightEdit, "10.000");
    platform_.openAnswers.push_back(path("a.PW2"));
    panel_->loadFile();
    EXPECT_EQ(model_.text(Ctl::IDmm_RightEdit), "40.000");
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(PanelFilesTest, CancelledChoosersChangeNothing) {
    model_.editEntry(Ctl::IDmm_RightEdit, "33.000");
    panel_->loadFile();
    panel_->saveFile();
    EXPECT_EQ(model_.text(Ctl::IDmm_RightEdit), "33.000");
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());
    EXPECT_TRUE(platform_.messages.empty());
}

TEST_F(PanelFilesTest, ErrorsInThePlatformsWords) {
    platform_.openAnswers.push_back(path("missing.PW2"));
    panel_->loadFile();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(platform_.messages[0].text, "File not found");

    QFile other(QString::fromStdString(path("other.PW1")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{})).c_str());
    other.close();
    QFile broken(QString::fromStdString(path("broken.PW2")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("corvane_find_flow\r\n");  // the header in other letters
    broken.close();
    platform_.openAnswers.push_back(path("broken.PW2"));
    panel_->loadFile();
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[1].text, "This file is not valid for Corvane.");

    platform_.saveAnswers.push_back(path("no/such/folder/x.PW2"));
    panel_->saveFile();
    ASSERT_EQ(platform_.messages.size(), 3u);
    EXPECT_EQ(platform_.messages[2].kind, MessageKind::Error);
}

// A file of another panel is named for its panel and offered there; the
// panel that was asked is left as it was either way.
TEST_F(PanelFilesTest, AFileOfAnotherPanelIsOfferedThere) {
    QFile other(QString::fromStdString(path("other.PW1")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(SavePanelFile(PanelModel(PanelKind::PressureDrop, Locale{})).c_str());
    other.close();
    const std::string before = SavePanelFile(model_);
    QStringList offered;
    QObject::connect(panel_.get(), &CalcPanel::openInOtherPanel, [&](const QString& p) { offered << p; });
    for (const bool yes : {false, true}) {
        platform_.answer = yes;
        platform_.openAnswers.push_back(path("other.PW1"));
        panel_->loadFile();
    }
    EXPECT_EQ(platform_.questions,
              std::vector<std::string>(2, "This file is for Find pressure drop.\rOpen it there?"));
    EXPECT_EQ(offered, QStringList{QString::fromStdString(path("other.PW1"))});
    EXPECT_TRUE(platform_.messages.empty());
    EXPECT_EQ(SavePanelFile(model_), before);
    EXPECT_EQ(panel_->filePath(), "");
}

}  // namespace
}  // namespace corvane

#include "tests/FileSizeLimit.h"

namespace corvane {
namespace {

// A write that fails half-way (here: the file size limit of the process)
// leaves the old file exactly as it was.
TEST_F(PanelFilesTest, FailedSaveKeepsTheOldFile) {
    const std::string target = path("kept.PW2");
    QFile old(QString::fromStdString(target));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old contents\r\n");
    old.close();

    platform_.saveAnswers.push_back(target);
    {
        test::FileSizeLimit full(64);  // far less than a panel file
        ASSERT_TRUE(full.active());
        panel_->saveFile();
    }

    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].kind, MessageKind::Error);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll().toStdString(), "old contents\r\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"kept.PW2"});  // no temporary left behind
}

}  // namespace
}  // namespace corvane

#include <sys/stat.h>
#include <unistd.h>

namespace corvane {
namespace {

// A panel file larger than any panel file is refused whole, never loaded
// cut short; a FIFO is refused at once instead of hanging the window.
TEST_F(PanelFilesTest, LargeFilesAndFifosAreRefusedAtOnce) {
    std::string big = SavePanelFile(model_);
    big += std::string(2u << 20, ' ');
    QFile file(QString::fromStdString(path("big.PW2")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(big.data(), static_cast<qint64>(big.size()));
    file.close();
    model_.editEntry(Ctl::IDmm_RightEdit, "12.000");
    platform_.openAnswers.push_back(path("big.PW2"));
    panel_->loadFile();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, "This file is not valid for Corvane.");
    EXPECT_EQ(model_.text(Ctl::IDmm_RightEdit), "12.000");

    ASSERT_EQ(::mkfifo(path("f.PW2").c_str(), 0644), 0);
    platform_.openAnswers.push_back(path("f.PW2"));
    ::alarm(20);  // a hang fails the test
    panel_->loadFile();
    ::alarm(0);
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[1].text, "This is a FIFO, not a file");
}

// Saving over a symbolic link writes the link's target and keeps the link
// and the target's mode.
TEST_F(PanelFilesTest, SavingOverALinkKeepsTheLink) {
    QFile target(QString::fromStdString(path("real.PW2")));
    ASSERT_TRUE(target.open(QIODevice::WriteOnly));
    target.write("old\r\n");
    target.close();
    ::chmod(path("real.PW2").c_str(), 0640);
    ASSERT_EQ(::symlink("real.PW2", path("link.PW2").c_str()), 0);
    platform_.saveAnswers.push_back(path("link.PW2"));
    panel_->saveFile();
    EXPECT_TRUE(platform_.messages.empty());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(path("link.PW2"))).isSymLink());
    ASSERT_TRUE(target.open(QIODevice::ReadOnly));
    EXPECT_EQ(target.readAll().toStdString(), SavePanelFile(model_));
    struct stat st {};
    ::stat(path("real.PW2").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace corvane
