// The preview, the wheel, the batch commands and the deletion, driven on the main window.
#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "platform/Format.h"
#include "tests/PicturesTestSupport.h"
#include "tests/WindowTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace {

namespace fs = std::filesystem;
using window_test::WindowTest;

const std::string FirstPreviewBoxPrefix = "这是系统提示:";
const std::string SecondPreviewBox = "遇到了格式不标准可已经损坏了的图片文件!";

struct JpegFacts {
    int width;
    int height;
    bool progressive;
};

JpegFacts ReadJpeg(const std::string& path) {
    TJPEGImage image;
    image.LoadFromFile(path);
    return {image.Width(), image.Height(), image.ProgressiveEncoding};
}

class CommandTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        photos_ = desktop_ + "/photos";
        fs::create_directories(photos_);
    }

    std::string Photo(const std::string& name) const { return photos_ + "/" + name; }

    void WriteJpeg(const std::string& name, int width, int height, bool progressive = false) {
        testkit::WriteJpeg(Photo(name), testkit::TestImage(width, height, 3, width + height),
                           progressive ? "-quality 90 -progressive" : "-quality 90");
    }

    void WriteText(const std::string& name, const std::string& content) {
        std::ofstream(Photo(name), std::ios::binary) << content;
    }

    // Clicks entry `row` of the file list as the user would, with the given modifier keys.
    void ClickEntry(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        TRzListBox& list = *form_->RzListBox1;
        const QRect rect = list.visualItemRect(list.item(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, modifiers, rect.center());
    }

    bool Exists(const std::string& name) const { return fs::exists(Photo(name)); }

    std::string photos_;
};

// ---- The preview ------------------------------------------------------------------------------

TEST_F(CommandTest, TypicalRoadFromTheTreeToTheRefreshedList) {
    WriteJpeg("a.jpg", 400, 300);
    WriteJpeg("b.jpg", 300, 400);
    ListFolder(photos_);
    EXPECT_EQ(Entries(), (std::vector<std::string>{Photo("a.jpg"), Photo("b.jpg")}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(form_->StatusBar1->Text(), "") << "listing must not preview";

    ClickEntry(1);
    EXPECT_EQ(form_->Image1->Picture().Width(), 300);
    EXPECT_EQ(form_->Image1->Picture().Height(), 400);
    EXPECT_EQ(form_->StatusBar1->Text(), "缩图大小尺寸:200x266");
    EXPECT_EQ(form_->Memo1->Text(), Photo("b.jpg"));

    form_->RzButton2Click(nullptr);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"操作完成!"});
    EXPECT_EQ(Entries(), (std::vector<std::string>{Photo("a.jpg"), Photo("a缩图.jpg"),
                                                   Photo("b.jpg"), Photo("b缩图.jpg")}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    const JpegFacts a = ReadJpeg(Photo("a缩图.jpg"));
    EXPECT_EQ(a.width, 200);
    EXPECT_EQ(a.height, 150);
    EXPECT_FALSE(a.progressive);
    EXPECT_EQ(ReadJpeg(Photo("b缩图.jpg")).height, 266);
    EXPECT_EQ(form_->StatusBar1->Text(), "缩图大小尺寸:200x266");
}

TEST_F(CommandTest, PreviewFollowsTheFocusedEntryWhileAnyEntryIsSelected) {
    for (const char* name : {"0.jpg", "1.jpg", "2.jpg", "3.jpg"})
        WriteJpeg(name, 40 + 10 * (name[0] - '0'), 30);
    ListFolder(photos_);

    ClickEntry(1);
    ClickEntry(3, Qt::ShiftModifier);
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(form_->Memo1->Text(), Photo("3.jpg"));

    ClickEntry(2, Qt::ControlModifier); // deselected, but focused: still previewed
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
    EXPECT_EQ(form_->Memo1->Text(), Photo("2.jpg"));
    EXPECT_TRUE(boxes_.empty());

    ClickEntry(1);
    const TGraphic* shown = form_->Image1->Picture().Graphic();
    ClickEntry(1, Qt::ControlModifier); // the only selected entry: nothing left to preview
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{
                  FirstPreviewBoxPrefix + "Unknown picture file extension (.)", SecondPreviewBox}));
    EXPECT_EQ(form_->Image1->Picture().Graphic(), shown);
    EXPECT_EQ(form_->Memo1->Text(), Photo("1.jpg"));
}

struct PreviewFailure {
    const char* name;
    const char* content; // the file's bytes; null for a valid 90 x 60 JPEG
    std::string widthText;
    std::string firstBox; // after the prefix; %s stands for the file's path
    bool fullSizeChanges;
    bool thumbnailChanges;
    int thumbnailWidth; // of the thumbnail view's new picture, when it changes
};

class PreviewFailureTest : public CommandTest,
                           public testing::WithParamInterface<PreviewFailure> {};

TEST_P(PreviewFailureTest, ReportsInTwoBoxesAndLeavesWhatTheFailingStepLeft) {
    const PreviewFailure& c = GetParam();
    WriteJpeg("a.jpg", 60, 40);
    if (!c.content)
        WriteJpeg("b.jpg", 90, 60);
    else
        WriteText("b.jpg", c.content);
    ListFolder(photos_);
    ClickEntry(0);
    const TGraphic* fullSize = form_->Image1->Picture().Graphic();
    const TGraphic* thumbnail = form_->Image2->Picture().Graphic();
    const std::string status = form_->StatusBar1->Text();
    if (c.name == std::string("missing"))
        fs::remove(Photo("b.jpg"));
    form_->Edit1->SetText(c.widthText);

    ClickEntry(1);
    const std::string firstBox = Format(c.firstBox.c_str(), Photo("b.jpg").c_str());
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{FirstPreviewBoxPrefix + firstBox, SecondPreviewBox}));
    EXPECT_EQ(form_->Image1->Picture().Graphic() != fullSize, c.fullSizeChanges);
    EXPECT_EQ(form_->Image2->Picture().Graphic() != thumbnail, c.thumbnailChanges);
    if (c.thumbnailChanges) {
        EXPECT_EQ(form_->Image2->Picture().Width(), c.thumbnailWidth) << "no thumbnail";
    }
    EXPECT_EQ(form_->StatusBar1->Text(), status);
    EXPECT_EQ(form_->Memo1->Text(), Photo("a.jpg"));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PreviewFailureTest,
    testing::Values(
        PreviewFailure{"notjpeg", "not a picture", "200", "JPEG error #53", false, false, 0},
        PreviewFailure{"missing", nullptr, "200",
                       "Cannot open file \"%s\". No such file or directory", false, false, 0},
        PreviewFailure{"width", nullptr, "abc", "'abc' is not a valid integer value", true, true,
                       90},
        PreviewFailure{"empty", "", "200", "JPEG error #42", true, true, 0}),
    testkit::RowName());

// ---- The wheel --------------------------------------------------------------------------------

struct WheelCase {
    const char* name;
    int largest;  // the bar's largest position
    int position; // before the events
    int delta;
    std::vector<int> positions; // after each of two events
};

void PrintTo(const WheelCase& c, std::ostream* os) {
    *os << "largest " << c.largest << " position " << c.position << " delta " << c.delta;
}

class WheelTest : public CommandTest, public testing::WithParamInterface<WheelCase> {};

TEST_P(WheelTest, MovesOneIncrementPerEventAndStopsAtBothEnds) {
    const WheelCase& c = GetParam();
    auto tall = std::make_unique<TBitmap>();
    const int visible = form_->ScrollBox1->viewport()->height();
    tall->SetSize(50, std::max(1, visible + c.largest));
    form_->Image1->Picture().SetGraphic(std::move(tall));
    QApplication::processEvents();
    auto& bar = form_->ScrollBox1->VertScrollBar();
    ASSERT_EQ(bar.LargestPosition(), c.largest);
    bar.SetPosition(c.position);
    for (const int expected : c.positions) {
        bool handled = false;
        form_->ScrollBox1MouseWheel(nullptr, Qt::NoModifier, c.delta, QPoint(), handled);
        EXPECT_TRUE(handled);
        EXPECT_EQ(bar.Position(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, WheelTest,
    testing::Values(WheelCase{"DownStopsAtTheBottom", 645, 640, -120, {645, 645}},
                    WheelCase{"UpStopsAtTheTop", 645, 5, 120, {0, 0}},
                    WheelCase{"UpTwoNotchesAtOnce", 645, 100, 240, {92, 84}},
                    WheelCase{"DownTwoNotchesAtOnce", 645, 100, -240, {108, 116}},
                    WheelCase{"NoTurn", 645, 100, 0, {100, 100}},
                    WheelCase{"NothingToScroll", 0, 0, -120, {0, 0}}),
    testkit::RowName());

// ---- The batch commands -----------------------------------------------------------------------

TEST_F(CommandTest, ButtonCommandsOnAnEmptyListDoNothingVisible) {
    WriteJpeg("a.jpg", 40, 30);
    form_->ShellTreeView1->SelectPath(photos_); // selected, not listed
    Application->Guard([this] { form_->RzButton2Click(nullptr); });
    Application->Guard([this] { form_->RzButton3Click(nullptr); });
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(folderQuestions_, 0);
    EXPECT_TRUE(Entries().empty());

    form_->N2Click(nullptr); // processes nothing, then lists the folder
    EXPECT_EQ(Entries(), std::vector<std::string>{Photo("a.jpg")});
    EXPECT_TRUE(boxes_.empty());
    EXPECT_FALSE(Exists("a缩图.jpg"));
}

TEST_F(CommandTest, SecondRunMakesThumbnailsOfThumbnails) {
    WriteJpeg("trip.jpg", 400, 300);
    ListFolder(photos_);
    form_->RzButton2Click(nullptr);
    EXPECT_EQ(Entries(), (std::vector<std::string>{Photo("trip.jpg"), Photo("trip缩图.jpg")}));
    form_->RzButton2Click(nullptr);
    EXPECT_EQ(Entries(), (std::vector<std::string>{Photo("trip.jpg"), Photo("trip缩图.jpg"),
                                                   Photo("trip缩图缩图.jpg")}));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"操作完成!", "操作完成!"}));
    EXPECT_EQ(ReadJpeg(Photo("trip缩图缩图.jpg")).height, 150);
}

TEST_F(CommandTest, ALaterListedDestinationIsReplacedThenProcessedFromItsNewContent) {
    WriteJpeg("a.jpg", 400, 300);
    WriteJpeg("a缩图.jpg", 800, 100);
    ListFolder(photos_);
    form_->RzButton2Click(nullptr);
    EXPECT_EQ(ReadJpeg(Photo("a缩图.jpg")).height, 150);
    EXPECT_EQ(ReadJpeg(Photo("a缩图缩图.jpg")).height, 150) << "made from the replaced file";
}

TEST_F(CommandTest, ANonIntegerWidthEndsTheCommandBeforeAnyThumbnail) {
    WriteJpeg("a.jpg", 40, 30);
    WriteJpeg("b.jpg", 40, 30);
    ListFolder(photos_);
    form_->Edit1->SetText("abc");
    const QString caption = form_->windowTitle();
    Application->Guard([this] { form_->RzButton2Click(nullptr); });
    EXPECT_EQ(form_->windowTitle(), caption) << "the progress goes with the failed command";
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                              FirstPreviewBoxPrefix + "'abc' is not a valid integer value",
                              SecondPreviewBox, "'abc' is not a valid integer value."}));
    EXPECT_TRUE(boxes_.back().error);
    EXPECT_FALSE(Exists("a缩图.jpg"));
    EXPECT_EQ(form_->RzListBox1->ItemIndex(), 0) << "the focus stays on the failing entry";
}

TEST_F(CommandTest, AnUnwritableChosenFolderEndsTheCommandWithTheSaveFailure) {
    WriteJpeg("a.jpg", 40, 30);
    WriteText("plain.txt", "a file where a folder is expected");
    ListFolder(photos_);
    folderAnswers_.push_back(Photo("plain.txt"));
    Application->Guard([this] { form_->RzButton3Click(nullptr); });
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_TRUE(boxes_[0].error);
    EXPECT_EQ(boxes_[0].text,
              "Cannot create file \"" + Photo("plain.txt") + "/a缩图.jpg\". Not a directory.");
    EXPECT_EQ(fs::file_size(Photo("plain.txt")), 33u);
}

TEST_F(CommandTest, ChosenFolderGetsTheThumbnailsAndTheListStaysAsItWas) {
    WriteJpeg("a.jpg", 40, 30);
    WriteJpeg("b.jpg", 40, 30);
    const std::string out = home_ + "/out";
    fs::create_directories(out);
    ListFolder(photos_);
    folderAnswers_.push_back(out);
    form_->RzButton3Click(nullptr);
    EXPECT_EQ(folderQuestions_, 1);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"操作完成!"});
    EXPECT_TRUE(fs::exists(out + "/a缩图.jpg"));
    EXPECT_TRUE(fs::exists(out + "/b缩图.jpg"));
    EXPECT_EQ(Entries().size(), 2u);
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(form_->RzListBox1->ItemIndex(), 1) << "the focus rests on the last entry";
}

TEST_F(CommandTest, ACancelledFolderDialogWritesNothingAndSaysNothing) {
    WriteJpeg("a.jpg", 40, 30);
    ListFolder(photos_);
    Application->Guard([this] { form_->RzButton3Click(nullptr); });
    EXPECT_EQ(folderQuestions_, 1);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_FALSE(fs::exists("/a缩图.jpg"));
    EXPECT_FALSE(Exists("a缩图.jpg"));
}

TEST_F(CommandTest, AFileThePreviewCannotLoadGetsNoThumbnailAndTheCommandGoesOn) {
    WriteJpeg("a.jpg", 400, 300);
    WriteText("b.jpg", "not a picture");
    WriteJpeg("c.jpg", 300, 300);
    ListFolder(photos_);
    form_->RzButton2Click(nullptr);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{FirstPreviewBoxPrefix + "JPEG error #53",
                                                    SecondPreviewBox, "操作完成!"}));
    EXPECT_TRUE(Exists("a缩图.jpg"));
    EXPECT_FALSE(Exists("b缩图.jpg"));
    EXPECT_EQ(ReadJpeg(Photo("c缩图.jpg")).height, 200);
}

// A bad file between two good photos: the preview tells why, the file gets no thumbnail and the
// command goes on, whatever the file claims, at a bounded cost.
struct BadFile {
    const char* name;
    std::function<pictures_test::Bytes()> content;
    const char* message;
};

void PrintTo(const BadFile& file, std::ostream* out) {
    *out << file.name;
}

class BadFileTest : public CommandTest, public testing::WithParamInterface<BadFile> {};

// A real small JPEG.
pictures_test::Bytes SmallJpeg(int width, int height, bool grey, bool progressive) {
    return pictures_test::Cjpeg(pictures_test::TestImage(width, height, grey ? 1 : 3, 7),
                                progressive ? "-quality 90 -progressive" : "-quality 90");
}

// The stream cut after its first scan's header: a frame with no data at all.
pictures_test::Bytes WithoutData(pictures_test::Bytes jpeg) {
    const pictures_test::Segment scan = pictures_test::HeaderSegments(jpeg).back();
    jpeg.resize(scan.offset + 4 + scan.payload.size());
    return jpeg;
}

TEST_P(BadFileTest, GetsNoThumbnailAndTheCommandGoesOn) {
    WriteJpeg("a.jpg", 400, 300);
    pictures_test::WriteBytes(Photo("b.jpg"), GetParam().content());
    WriteJpeg("c.jpg", 300, 300);
    ListFolder(photos_);
    form_->RzButton2Click(nullptr);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{FirstPreviewBoxPrefix + GetParam().message,
                                                    SecondPreviewBox, "操作完成!"}));
    EXPECT_EQ(ReadJpeg(Photo("a缩图.jpg")).height, 150);
    EXPECT_FALSE(Exists("b缩图.jpg"));
    EXPECT_EQ(ReadJpeg(Photo("c缩图.jpg")).height, 200);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, BadFileTest,
    testing::Values(BadFile{"Empty", [] { return pictures_test::Bytes{}; }, "JPEG error #42"},
                    BadFile{"NoJpeg",
                            [] {
                                return pictures_test::Bytes{'G', 'I', 'F', '8'};
                            },
                            "JPEG error #53"},
                    BadFile{"BaselineClaiming32767Squared",
                            [] {
                                return WithoutData(pictures_test::WithClaimedSize(
                                    SmallJpeg(16, 16, true, false), 32767, 32767));
                            },
                            "Out of memory"},
                    BadFile{"ProgressiveClaiming22000Squared",
                            [] {
                                return WithoutData(pictures_test::WithClaimedSize(
                                    SmallJpeg(16, 16, true, true), 22000, 22000));
                            },
                            "Out of memory"},
                    BadFile{"ColourClaiming65500Squared",
                            [] {
                                return pictures_test::WithClaimedSize(
                                    SmallJpeg(16, 16, false, false), 65500, 65500);
                            },
                            "Out of memory"},
                    BadFile{"AThousandEmptyScansOver8192Squared",
                            [] {
                                return pictures_test::WithRepeatedFirstScan(
                                    pictures_test::WithClaimedSize(SmallJpeg(16, 16, true, true),
                                                                   8192, 8192),
                                    1000);
                            },
                            "JPEG error: more than 32 scans"},
                    BadFile{"StripWhoseThumbnailNoJpegCanHold",
                            [] { return SmallJpeg(1, 3000, false, false); }, "JPEG error #41"}),
    [](const testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

TEST_F(CommandTest, WithNoEntrySelectedEveryPreviewFailsAndNothingIsWritten) {
    WriteJpeg("a.jpg", 40, 30);
    WriteJpeg("b.jpg", 40, 30);
    ListFolder(photos_);
    form_->RzListBox1->SetSelected(0, false);
    form_->RzButton2Click(nullptr);
    EXPECT_EQ(boxes_.size(), 5u);
    EXPECT_EQ(BoxTexts().back(), "操作完成!");
    EXPECT_FALSE(Exists("a缩图.jpg"));
    EXPECT_FALSE(Exists("b缩图.jpg"));
}

TEST_F(CommandTest, SelectedEntriesCarryTheProgressiveFlagOfTheLastPreviewedFile) {
    WriteJpeg("a.jpg", 40, 30);
    WriteJpeg("b.jpg", 40, 30);
    WriteJpeg("p.jpg", 40, 30, true);
    ListFolder(photos_);
    ClickEntry(2); // the thumbnail view now holds the progressive file's picture
    form_->RzListBox1->SetSelected(2, false);
    form_->RzListBox1->SetSelected(0, true);
    form_->RzListBox1->SetSelected(1, true);
    const std::string status = form_->StatusBar1->Text();
    form_->N2Click(nullptr);
    EXPECT_TRUE(ReadJpeg(Photo("a缩图.jpg")).progressive);
    EXPECT_TRUE(ReadJpeg(Photo("b缩图.jpg")).progressive);
    EXPECT_FALSE(Exists("p缩图.jpg"));
    EXPECT_EQ(form_->StatusBar1->Text(), status);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(Entries().size(), 5u);

    form_->RzButton2Click(nullptr); // previews each file, so each thumbnail follows its source
    EXPECT_FALSE(ReadJpeg(Photo("a缩图.jpg")).progressive);
    EXPECT_TRUE(ReadJpeg(Photo("p缩图.jpg")).progressive);
}

TEST_F(CommandTest, TheWindowTakesNoInputAndClosesOnlyAfterTheCommand) {
    WriteJpeg("a.jpg", 40, 30);
    ListFolder(photos_);
    int clicksDuringCommand = 0;
    QObject::connect(form_->RzButton3, &QPushButton::clicked, [&] { ++clicksDuringCommand; });
    onBox_ = [&] {
        QTest::mouseClick(form_->RzButton3, Qt::LeftButton);
        form_->close();
        EXPECT_TRUE(form_->isVisible());
    };
    form_->RzButton2Click(nullptr);
    EXPECT_EQ(clicksDuringCommand, 0);
    EXPECT_FALSE(form_->isVisible());
}

// ---- Progress and cancel ----------------------------------------------------------------------

struct CancelCase {
    const char* name;
    void (TForm1::*command)(QObject*);
    bool toChosenFolder;
    bool byClosing; // closes the window instead of pressing Esc
    bool listRefreshed;
};

void PrintTo(const CancelCase& c, std::ostream* os) {
    *os << c.name;
}

class CancelTest : public CommandTest, public testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, StopsAfterTheFileInHandTellsTheUserAndRestoresTheCaption) {
    const CancelCase& c = GetParam();
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        WriteJpeg(name, 40, 30);
    const std::string out = home_ + "/out";
    fs::create_directories(out);
    ListFolder(photos_);
    for (int row = 0; row < 4; ++row)
        form_->RzListBox1->SetSelected(row, true);
    if (c.toChosenFolder)
        folderAnswers_.push_back(out);
    const QString caption = form_->windowTitle();
    QStringList captions;
    QObject::connect(form_.get(), &QWidget::windowTitleChanged, [&](const QString& title) {
        captions << title;
        // Any other key goes nowhere while the command runs.
        if (title.endsWith(" 1/4"))
            QCoreApplication::postEvent(form_->Edit1,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_X, {}, "x"));
        if (!title.endsWith(" 2/4"))
            return;
        if (c.byClosing)
            form_->close();
        else
            QCoreApplication::postEvent(form_->Edit1,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
    });
    std::vector<bool> visibleAtBox;
    onBox_ = [&] { visibleAtBox.push_back(form_->isVisible()); };

    (form_.get()->*c.command)(nullptr);

    EXPECT_EQ(captions, (QStringList{caption + " 1/4", caption + " 2/4", caption}));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"操作已取消!"});
    EXPECT_EQ(visibleAtBox, std::vector<bool>{true});
    EXPECT_EQ(form_->Edit1->Text(), "200");
    const std::string folder = c.toChosenFolder ? out : photos_;
    EXPECT_TRUE(fs::exists(folder + "/a缩图.jpg"));
    EXPECT_TRUE(fs::exists(folder + "/b缩图.jpg"));
    EXPECT_FALSE(fs::exists(folder + "/c缩图.jpg"));
    EXPECT_FALSE(fs::exists(folder + "/d缩图.jpg"));
    EXPECT_EQ(Entries().size(), c.listRefreshed ? 6u : 4u);
    EXPECT_EQ(form_->isVisible(), !c.byClosing);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CancelTest,
    testing::Values(CancelCase{"AllToCurrentFolder", &TForm1::RzButton2Click, false, false, true},
                    CancelCase{"AllToChosenFolder", &TForm1::RzButton3Click, true, false, false},
                    CancelCase{"SelectedToCurrentFolder", &TForm1::N2Click, false, false, true},
                    CancelCase{"ClosingTheWindow", &TForm1::RzButton2Click, false, true, true}),
    [](const testing::TestParamInfo<CancelCase>& info) { return info.param.name; });

// ---- Decoding ahead ---------------------------------------------------------------------------

using testkit::Bytes;

Bytes JpegBytes(int width, int height, unsigned seed, bool progressive = false) {
    return testkit::Cjpeg(testkit::TestImage(width, height, 3, seed),
                          progressive ? "-quality 90 -progressive" : "-quality 90");
}

Bytes FirstHalf(const Bytes& bytes) {
    return Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2));
}

const Bytes NotAPicture{'n', 'o', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};

// One listed file: what it holds when the command starts (and its workers read it ahead), and
// what it holds once its decode ahead is done, before the command loads it; none: deleted.
struct ChangingFile {
    std::string name;
    Bytes before;
    std::optional<Bytes> after;
};

struct AheadCase {
    const char* name;
    bool selectedEntries; // the popup menu's command on every entry, else the first button's
    std::vector<ChangingFile> files;
};

void PrintTo(const AheadCase& c, std::ostream* out) {
    *out << c.name;
}

// What the user is shown at one box: the box and the state of the window behind it.
struct Moment {
    window_test::Box box;
    int focus;
    std::string status;
    std::string memo;
    bool operator==(const Moment&) const = default;
};

void PrintTo(const Moment& moment, std::ostream* out) {
    *out << moment.box.text << " (focus " << moment.focus << ", " << moment.status << ", "
         << moment.memo << ")";
}

struct Outcome {
    std::vector<Moment> moments;
    std::map<std::string, Bytes> files;
    std::vector<std::string> entries;
    int focus;
    bool operator==(const Outcome&) const = default;
};

class DecodeAheadCommandTest : public CommandTest, public testing::WithParamInterface<AheadCase> {
protected:
    // Runs the command over the files as they are before, then as they are after, and tells what
    // was shown and written. With decoding ahead, each file changes right after its decode ahead;
    // without, every file has changed before the command starts.
    Outcome Run(bool decodeAhead) {
        const AheadCase& c = GetParam();
        fs::remove_all(photos_);
        fs::create_directories(photos_);
        for (const ChangingFile& file : c.files)
            testkit::WriteBytes(Photo(file.name), file.before);
        ListFolder(photos_);
        const std::vector<std::string> paths = Entries();
        EXPECT_EQ(paths.size(), c.files.size());
        const auto change = [&](std::size_t index) {
            const ChangingFile& file = c.files.at(index);
            if (!file.after)
                fs::remove(Photo(file.name));
            else if (*file.after != file.before)
                testkit::WriteBytes(Photo(file.name), *file.after);
        };
        std::mutex changedMutex;
        std::set<std::size_t> changed;
        form_->BatchDecodeAhead.workers = decodeAhead ? 2 : 0;
        form_->BatchDecodeAhead.afterDecode = [&](std::size_t index) {
            change(index);
            std::lock_guard lock(changedMutex);
            changed.insert(index);
        };
        if (!decodeAhead) {
            for (std::size_t i = 0; i < c.files.size(); ++i)
                change(i);
        }

        Outcome outcome;
        boxes_.clear();
        onBox_ = [&] {
            outcome.moments.push_back({boxes_.back(), form_->RzListBox1->ItemIndex(),
                                       form_->StatusBar1->Text(), form_->Memo1->Text()});
        };
        for (int row = 0; c.selectedEntries && row < form_->RzListBox1->Count(); ++row)
            form_->RzListBox1->SetSelected(row, true);
        if (c.selectedEntries)
            Application->Guard([this] { form_->N2Click(nullptr); });
        else
            Application->Guard([this] { form_->RzButton2Click(nullptr); });
        onBox_ = [] {};

        // The files after the one that ended the command were never loaded; they change now, so
        // that both runs leave the same files.
        for (std::size_t i = 0; decodeAhead && i < c.files.size(); ++i) {
            if (!changed.count(i))
                change(i);
        }
        for (const auto& entry : fs::directory_iterator(photos_))
            outcome.files[entry.path().filename().string()] = testkit::ReadBytes(entry.path());
        outcome.entries = Entries();
        outcome.focus = form_->RzListBox1->ItemIndex();
        if (decodeAhead) {
            EXPECT_TRUE(changed.count(0) && changed.count(1) && changed.count(2))
                << "files were decoded ahead";
        }
        return outcome;
    }
};

// The files change between their decode ahead and their load, or fail ahead or at the load: what
// the user sees and what is written are those of a command that decodes nothing ahead.
TEST_P(DecodeAheadCommandTest, ShowsAndWritesWhatACommandWithoutDecodingAheadDoes) {
    const Outcome without = Run(false);
    const Outcome with = Run(true);
    EXPECT_EQ(with.moments, without.moments);
    EXPECT_EQ(with.entries, without.entries);
    EXPECT_EQ(with.focus, without.focus);
    EXPECT_EQ(with.files.size(), without.files.size());
    for (const auto& [name, bytes] : without.files)
        EXPECT_TRUE(with.files.count(name) && with.files.at(name) == bytes) << name;
}

std::vector<ChangingFile> ChangedPictures() {
    const Bytes kept = JpegBytes(40, 60, 6);
    return {{"a.jpg", JpegBytes(60, 40, 1), JpegBytes(60, 40, 13)},
            {"b.jpg", JpegBytes(60, 40, 2), JpegBytes(60, 40, 3)},
            {"c.jpg", JpegBytes(50, 50, 4), JpegBytes(80, 30, 5, true)},
            {"d.jpg", kept, kept},
            {"e.jpg", JpegBytes(30, 20, 7, true), JpegBytes(30, 20, 7)}};
}

std::vector<ChangingFile> FailingFiles() {
    const Bytes good = JpegBytes(64, 48, 8);
    // In the order of the road: the files whose load fails (which ends the popup menu's command)
    // and the empty one (which ends both commands) come last.
    return {{"a.jpg", JpegBytes(60, 40, 1), JpegBytes(60, 40, 1)},
            {"b.jpg", NotAPicture, JpegBytes(48, 32, 9)},
            {"c.jpg", JpegBytes(48, 32, 10), JpegBytes(48, 32, 11)},
            {"d.jpg", good, FirstHalf(good)},
            {"e.jpg", FirstHalf(good), FirstHalf(good)},
            {"f.jpg", JpegBytes(20, 20, 12), JpegBytes(20, 20, 12)},
            {"g.jpg", good, NotAPicture},
            {"h.jpg", good, std::nullopt},
            {"i.jpg", good, Bytes{}}};
}

INSTANTIATE_TEST_SUITE_P(Files, DecodeAheadCommandTest,
                         testing::Values(AheadCase{"ChangedPictures", false, ChangedPictures()},
                                         AheadCase{"ChangedPicturesSelected", true,
                                                   ChangedPictures()},
                                         AheadCase{"FailingFiles", false, FailingFiles()},
                                         AheadCase{"FailingFilesSelected", true, FailingFiles()}),
                         testkit::RowName());

// ---- Deleting ---------------------------------------------------------------------------------

TEST_F(CommandTest, DeletesTheSelectedFilesAndKeepsEntriesWhoseFilesRemain) {
    WriteJpeg("a.jpg", 40, 30);
    WriteJpeg("b.jpg", 40, 30);
    fs::create_directories(Photo("c.jpg")); // cannot be deleted as a file
    WriteJpeg("d.jpg", 40, 30);
    WriteJpeg("r.jpg", 40, 30);
    fs::permissions(Photo("r.jpg"), fs::perms::owner_read | fs::perms::group_read); // read-only
    ListFolder(photos_);
    ASSERT_EQ(Entries().size(), 4u) << "the folder c.jpg is not listed";
    form_->RzListBox1->ReplaceAll({Photo("a.jpg"), Photo("b.jpg"), Photo("c.jpg"), Photo("d.jpg"),
                                   Photo("gone.jpg"), Photo("r.jpg")});
    for (const int row : {0, 2, 4, 5})
        form_->RzListBox1->SetSelected(row, true);
    form_->RzListBox1->SetItemIndex(3); // focused, not selected: kept
    const TGraphic* shown = form_->Image1->Picture().Graphic();

    form_->N1Click(nullptr);
    EXPECT_FALSE(Exists("a.jpg"));
    EXPECT_TRUE(Exists("b.jpg"));
    EXPECT_TRUE(Exists("d.jpg"));
    EXPECT_TRUE(Exists("r.jpg")) << "no write bit: read-only even for root";
    EXPECT_EQ(Entries(), (std::vector<std::string>{Photo("b.jpg"), Photo("c.jpg"), Photo("d.jpg"),
                                                   Photo("r.jpg")}));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(boxes_.empty());
    EXPECT_EQ(form_->Image1->Picture().Graphic(), shown);
}

} // namespace
