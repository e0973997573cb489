#include "app/Unit1.h"

#include "pictures/JPEGImage.h"
#include "platform/Exceptions.h"
#include "platform/Texts.h"
#include "resources/Resources.h"
#include "widgets/Application.h"

#include <QGuiApplication>
#include <QScreen>

#include <memory>
#include <vector>

TForm1* Form1 = nullptr;

namespace {

constexpr QSize ClientSize(951, 616);
// The outer size the window was laid out for, which its first position is centred by.
constexpr QSize FrameSize(959, 646);
const QColor LightGrey(240, 240, 240);

// Both views start with the placeholder, each with a JPEG picture of its own over the same data.
void LoadPlaceholder(std::initializer_list<TImage*> views) {
    const QByteArray bytes = PlaceholderJpeg();
    if (bytes.isEmpty())
        throw Exception(Texts::PlaceholderMissing);
    TJPEGImage placeholder;
    placeholder.LoadFromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    for (TImage* view : views) {
        auto picture = std::make_unique<TJPEGImage>();
        picture->Assign(&placeholder);
        view->Picture().SetGraphic(std::move(picture));
    }
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(parent) {
    if (!Form1)
        Form1 = this;
    setWindowTitle(QString::fromUtf8("VelluminV.2版 - Corvantis 批量缩略图"));
    setFont(WindowFont());
    QPalette face = palette();
    face.setColor(QPalette::Window, SystemColor(TSystemColor::clBtnFace));
    setPalette(face);
    resize(ClientSize);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        move(DesktopCenterPosition(primary->virtualGeometry().size(), primary->geometry().topLeft(),
                                   FrameSize));

    Panel1 = new TPanel(this);
    PlaceControl(Panel1, {0, 0, 175, 616}, akLeftTop, TAlign::alLeft);
    Label3 = new TLabel(Panel1, "选择目录");
    PlaceControl(Label3, {8, 13, 97, 13});
    ShellTreeView1 = new TShellTreeView(Panel1);
    PlaceControl(ShellTreeView1, {6, 31, 160, 576}, akAll);

    Splitter1 = new TSplitter(this);
    PlaceControl(Splitter1, {175, 0, 4, 616}, akLeftTop, TAlign::alLeft);

    RzPanel1 = new TRzPanel(this);
    PlaceControl(RzPanel1, {179, 0, 149, 616}, akLeftTop, TAlign::alLeft);
    Label4 = new TLabel(RzPanel1, "文件");
    PlaceControl(Label4, {8, 10, 41, 13});
    RzListBox1 = new TRzListBox(RzPanel1);
    PlaceControl(RzListBox1, {5, 30, 138, 579}, akAll);

    Splitter2 = new TSplitter(this);
    PlaceControl(Splitter2, {328, 0, 3, 616}, akLeftTop, TAlign::alLeft);

    Panel2 = new TPanel(this);
    PlaceControl(Panel2, {331, 0, 620, 616}, akLeftTop, TAlign::alClient);
    StatusBar1 = new TStatusBar(Panel2);
    PlaceControl(StatusBar1, {1, 596, 618, 19}, akLeftTop, TAlign::alBottom);

    RzPanel2 = new TRzPanel(Panel2);
    RzPanel2->SetColor(LightGrey);
    RzPanel2->SetGradient(true);
    PlaceControl(RzPanel2, {8, 8, 604, 369}, akAll);
    ScrollBox1 = new TScrollBox(RzPanel2);
    ScrollBox1->SetColor(LightGrey);
    PlaceControl(ScrollBox1, {8, 7, 588, 355}, akAll);
    Image1 = new TImage(ScrollBox1->Content());
    PlaceControl(Image1, {0, 0, 300, 300});
    Image1->SetAutoSize(true);

    RzPanel3 = new TRzPanel(Panel2);
    RzPanel3->SetColor(Qt::white);
    PlaceControl(RzPanel3, {8, 384, 604, 209}, akLeft | akRight | akBottom);
    GroupBox1 = new TGroupBox(RzPanel3, "设置选项");
    PlaceControl(GroupBox1, {320, 9, 278, 179}, akRight | akBottom);
    Label1 = new TLabel(GroupBox1, "缩略图宽度");
    PlaceControl(Label1, {16, 24, 73, 13});
    Label2 = new TLabel(GroupBox1, "缩略图路径:");
    PlaceControl(Label2, {264, 64, 73, 13});
    Label2->hide();
    Edit1 = new TEdit(GroupBox1);
    Edit1->SetText("200");
    PlaceControl(Edit1, {94, 22, 168, 21});
    Memo1 = new TMemo(GroupBox1);
    PlaceControl(Memo1, {269, 48, 153, 9});
    Memo1->hide();
    Button1 = new TButton(GroupBox1, "缩略图");
    PlaceControl(Button1, {6, 64, 75, 25});
    Button1->hide();
    RzButton2 = new TRzButton(GroupBox1, "批量生成缩略图 [到当前文件夹] 带后缀 缩图");
    PlaceControl(RzButton2, {93, 45, 148, 57});
    RzButton3 = new TRzButton(GroupBox1, "批量生成缩略图 [到指定文件夹] 带后缀 缩图");
    PlaceControl(RzButton3, {92, 109, 148, 57});
    ScrollBox2 = new TScrollBox(RzPanel3);
    ScrollBox2->SetBorder(true);
    ScrollBox2->SetColor(Qt::white);
    PlaceControl(ScrollBox2, {8, 8, 305, 193});
    Image2 = new TImage(ScrollBox2->Content());
    PlaceControl(Image2, {0, -2, 300, 300}, akLeft | akBottom);
    Image2->SetAutoSize(true);

    PopupMenu1 = new TPopupMenu(this);
    N1 = PopupMenu1->addAction(QString::fromUtf8("删除文件"));
    N2 = PopupMenu1->addAction(QString::fromUtf8("选择生成缩略图"));
    connect(RzListBox1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { PopupMenu1->popup(RzListBox1->viewport()->mapToGlobal(at)); });

    setTabOrder(ShellTreeView1, Edit1);
    setTabOrder(Edit1, RzButton2);
    setTabOrder(RzButton2, RzButton3);
    setTabOrder(RzButton3, RzListBox1);
    // No control shows a focus mark until the user clicks one or presses Tab.
    Panel1->setFocus();

    BindEvents();
    Application->Guard([this] { LoadPlaceholder({Image1, Image2}); });
}

TForm1::~TForm1() {
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::BindEvents() {
    // Every handler runs inside the application's guard, so no exception leaves a Qt slot.
    auto guarded = [](auto handler) { return [handler] { Application->Guard(handler); }; };
    ShellTreeView1->OnClick = guarded([this] { ShellTreeView1Click(ShellTreeView1); });
    RzListBox1->OnClick = guarded([this] { RzListBox1Click(RzListBox1); });
    ScrollBox1->OnMouseWheel = [this](Qt::KeyboardModifiers shift, int delta, QPoint at,
                                      bool& handled) {
        Application->Guard([&] { ScrollBox1MouseWheel(ScrollBox1, shift, delta, at, handled); });
    };
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(Button1); }));
    connect(RzButton2, &QPushButton::clicked, this, guarded([this] { RzButton2Click(RzButton2); }));
    connect(RzButton3, &QPushButton::clicked, this, guarded([this] { RzButton3Click(RzButton3); }));
    connect(N1, &QAction::triggered, this, guarded([this] { N1Click(N1); }));
    connect(N2, &QAction::triggered, this, guarded([this] { N2Click(N2); }));
}
