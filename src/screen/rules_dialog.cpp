#include "rules_dialog.h"

#include "amounts.h"
#include "game_pad.h"
#include "language.h"
#include "shown_texts.h"
#include "side_windows.h"
#include "window_fit.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

RulesDialog::RulesDialog(QWidget* parent) : QDialog(parent) {
    text_ = new QTextBrowser(this);
    text_->setOpenLinks(false);
    // A caret the arrows move line by line, which a screen reader follows and
    // reads; the text itself stays read-only.
    text_->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    text_->setFocus(Qt::OtherFocusReason);
    auto* buttons = new QDialogButtonBox(this);
    closeButton_ = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    column->addWidget(text_);
    column->addWidget(buttons);
    retranslate();
    i18n::followLanguage(this, [this] { retranslate(); });
    window_fit::addCloseKeys(this);
    side_windows::applyGameLook(this);
    resize(560, 620); // made smaller, the text scrolls
}

namespace {

// An amount as the board shows it, kept on one line.
QString amountInText(double amount) {
    return i18n::shownAmount(amount).replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
}

// The highest amount: in Russian in words a voice reads right ("до 3 миллионов";
// a grouped "3 000 000" is read digit by digit), in English with its commas,
// which a voice reads right.
QString highestAmountInText() {
    const double highest = game::kAmounts.back();
    if (i18n::currentLanguage() != i18n::kRussian)
        return amountInText(highest);
    return QStringLiteral("%1&nbsp;миллионов").arg(highest / 1e6);
}

} // namespace

QString RulesDialog::padHelp() {
    return tr("<h2>Геймпад</h2>"
              "<p><b>крестовина, левый стик</b> — перейти к другому чемодану или кнопке</p>"
              "<p><b>A</b> — нажать выбранное; во время ожидания — открыть чемодан сразу</p>"
              "<p><b>B</b> — «НЕТ»; закрыть окно поверх игры</p>"
              "<p><b>Y</b> — «ДА»</p>"
              "<p><b>Start</b> — меню</p>"
              "<p><b>Back / Select</b> — во весь экран и обратно</p>");
}

void RulesDialog::retranslate() {
    setWindowTitle(tr("Правила"));
    closeButton_->setText(tr("Закрыть"));
    text_->setHtml(
        tr("<h2>Как играть</h2>"
           "<ol>"
           "<li>Нажмите «Начать игру». Суммы от %1 до %2 спрятаны в 22 "
           "чемоданах и видны на табло справа.</li>"
           "<li>Выберите свой чемодан. Он встаёт под пирамиду; что в нём, вы не знаете.</li>"
           "<li>Открывайте остальные чемоданы по одному. Открытая сумма уходит с табло; "
           "панель внизу считает, сколько чемоданов осталось до звонка банкира.</li>"
           "<li>После 6, 9, 12, 15, 18 и 20 открытых чемоданов банкир предлагает деньги за ваш "
           "чемодан, глядя на суммы, оставшиеся на табло.</li>"
           "<li>Когда остаётся один чужой чемодан, откройте его щелчком (или клавишами). Затем "
           "открывается ваш, и вы видите выигрыш. «Новая игра» начинает сначала.</li>"
           "</ol>"
           "<h2>Ответы банкиру</h2>"
           "<ul>"
           "<li><b>«ДА» на деньги</b>: вы продали свой чемодан. Игра идёт дальше, вы открываете "
           "оставшиеся чемоданы, а выигрыш — принятая сумма, что бы ни было в вашем чемодане. "
           "Следующие предложения денег только показываются, но обмен банкир предложить ещё "
           "может, и на него снова отвечают «ДА» или «НЕТ».</li>"
           "<li><b>«НЕТ»</b>: игра продолжается; предложение записывается под "
           "«Банк предлагал:».</li>"
           "<li><b>«ОБМЕН»</b>: банкир предлагает поменять ваш чемодан. До 20 открытых "
           "чемоданов «ДА» позволяет выбрать любой закрытый чемодан (выбор своего оставляет его "
           "вам). При 20 открытых «ДА» сразу меняет ваш чемодан на последний закрытый. "
           "«НЕТ» оставляет ваш чемодан.</li>"
           "</ul>"
           "<p>Если вы ни разу не сказали «ДА» на деньги, выигрыш — сумма в вашем чемодане.</p>"
           "<h2>Клавиши</h2>"
           "<p><b>номер + Enter</b> — чемодан с этим номером на табличке</p>"
           "<p><b>стрелки, Tab</b> — перейти к другому чемодану или кнопке</p>"
           "<p><b>Enter, пробел</b> — открыть выбранный чемодан, нажать выбранную кнопку; Enter — "
           "«Начать игру» и «Новая игра»</p>"
           "<p><b>Enter, пробел в ожидании</b> — открыть чемодан не дожидаясь конца музыки; "
           "«Быстрая игра» в меню сокращает все ожидания</p>"
           "<p><b>Y; Д в русской раскладке</b> — «ДА»</p>"
           "<p><b>N; Т в русской раскладке (та же клавиша)</b> — «НЕТ»; клавиша Y/Н в русской "
           "раскладке не отвечает ничего</p>"
           "<p><b>F1</b> — эти правила</p>"
           "<p><b>F2</b> — повторить последнюю новость (для программ чтения с экрана)</p>"
           "<p><b>F3</b> — суммы, ещё оставшиеся в игре, от меньшей к большей</p>"
           "<p><b>F4</b> — предложения банка и принятое</p>"
           "<p><b>F5</b> — номера закрытых чемоданов</p>"
           "<p><b>F6</b> — читать табло стрелками; F6, Enter или Esc — назад</p>"
           "<p><b>F11</b> — во весь экран; Esc — выйти из него</p>"
           "<p><b>M</b> — звук вкл/выкл</p>"
           "<p><b>+ и −</b> — громче и тише</p>"
           "<p><b>правая кнопка мыши, Menu</b> — меню</p>"
           "<p><b>Ctrl+Q</b> — выход</p>")
            .arg(amountInText(game::kAmounts.front()), highestAmountInText()) +
        (GamePad::connectedCount() > 0 ? padHelp() : QString()));
}
