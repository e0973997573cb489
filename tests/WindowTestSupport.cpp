#include "tests/WindowTestSupport.h"

#include <QTest>

namespace window_test {

void RecordingPresenter::ShowInformation(const std::string& caption, const std::string& text) {
    boxes_.push_back({false, caption, text});
    onBox_();
}

void RecordingPresenter::ShowError(const std::string& caption, const std::string& text) {
    boxes_.push_back({true, caption, text});
    onBox_();
}

std::string RecordingPresenter::ChooseFolder(QWidget*, const std::string&) {
    ++folderQuestions_;
    if (folderAnswers_.empty())
        return {};
    std::string answer = folderAnswers_.front();
    folderAnswers_.pop_front();
    return answer;
}

ApplicationTest::ApplicationTest() {
    application_.SetTitle("Corvantis");
    application_.SetPresenter(
        std::make_unique<RecordingPresenter>(boxes_, folderAnswers_, folderQuestions_, onBox_));
}

std::vector<std::string> ApplicationTest::BoxTexts() const {
    std::vector<std::string> texts;
    for (const Box& box : boxes_)
        texts.push_back(box.text);
    return texts;
}

void WindowTest::SetUp() {
    PrepareDesktop();

    form_ = std::make_unique<TForm1>();
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
}

void WindowTest::TearDown() {
    form_.reset();
}

std::vector<std::string> WindowTest::Entries() const {
    std::vector<std::string> entries;
    for (int i = 0; i < form_->RzListBox1->Count(); ++i)
        entries.push_back(form_->RzListBox1->Item(i));
    return entries;
}

std::vector<int> WindowTest::SelectedRows() const {
    return testkit::SelectedRows(*form_->RzListBox1);
}

void WindowTest::ListFolder(const std::string& folder) {
    form_->ShellTreeView1->SelectPath(folder);
    form_->ShellTreeView1Click(nullptr);
}

} // namespace window_test
