<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>Accessibility</name>
    <message>
        <source>ваш, открыт: %1</source>
        <translation>yours, opened: %1</translation>
    </message>
    <message>
        <source>открыт: %1</source>
        <translation>opened: %1</translation>
    </message>
    <message>
        <source>ваш</source>
        <translation>yours</translation>
    </message>
    <message>
        <source>закрыт</source>
        <translation>closed</translation>
    </message>
    <message>
        <source>Банк предлагает обмен</source>
        <translation>The bank offers a swap</translation>
    </message>
    <message>
        <source>Банк предлагает %1</source>
        <translation>The bank offers %1</translation>
    </message>
    <message>
        <source>Суммы</source>
        <translation>Amounts</translation>
    </message>
    <message>
        <source>Банк предлагал</source>
        <translation>The bank offered</translation>
    </message>
    <message>
        <source>Чемодан %1</source>
        <translation>Case %1</translation>
    </message>
    <message>
        <source>Об авторах</source>
        <translation>About the authors</translation>
    </message>
    <message>
        <source>обмен</source>
        <translation>swap</translation>
    </message>
    <message>
        <source>Выигрыш: %1</source>
        <translation>Winnings: %1</translation>
    </message>
    <message>
        <source>выбыла</source>
        <translation>out</translation>
    </message>
    <message>
        <source>в игре</source>
        <translation>in play</translation>
    </message>
    <message>
        <source>Выигрыш: %1. Ваш чемодан %2: %3.</source>
        <translation>Winnings: %1. Your case %2: %3.</translation>
    </message>
    <message>
        <source>Чемодан %1: %2.</source>
        <translation>Case %1: %2.</translation>
    </message>
    <message>
        <source>Ваш чемодан %1.</source>
        <translation>Your case %1.</translation>
    </message>
    <message>
        <source>Обмен: ваш чемодан теперь %1.</source>
        <translation>Swap: your case is now %1.</translation>
    </message>
</context>
<context>
    <name>CreditEntries</name>
    <message>
        <source>Разработчик</source>
        <translation>Developer</translation>
    </message>
    <message>
        <source>Благодарность</source>
        <translation>Thanks</translation>
    </message>
    <message>
        <source>Команда «Зорбан»</source>
        <translation>The Zorban team</translation>
    </message>
    <message>
        <source>Сделано на</source>
        <translation>Made with</translation>
    </message>
    <message>
        <source>Лицензия игры</source>
        <translation>The game&apos;s licence</translation>
    </message>
    <message>
        <source>шрифт</source>
        <translation>font</translation>
    </message>
    <message>
        <source>файл LICENSE рядом с игрой</source>
        <translation>the LICENSE file beside the game</translation>
    </message>
    <message>
        <source>© 2026 Команда «Зорбан»</source>
        <translation>© 2026 the Zorban team</translation>
    </message>
    <message>
        <source>копируйте и меняйте свободно</source>
        <translation>free to copy and change</translation>
    </message>
</context>
<context>
    <name>CreditsWindow</name>
    <message>
        <source>Об авторах...</source>
        <translation>About the authors...</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>DesktopControls</name>
    <message>
        <source>Новая игра</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>Громкость</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Об авторах</source>
        <translation>About the authors</translation>
    </message>
    <message>
        <source>Игра ещё идёт. Бросить её и начать новую?</source>
        <translation>The game is still under way. Leave it and start a new one?</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Выход</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Игра ещё идёт. Бросить её и выйти?</source>
        <translation>The game is still under way. Leave it and quit?</translation>
    </message>
    <message>
        <source>Правила</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>Звук вкл/выкл</source>
        <translation>Sound on/off</translation>
    </message>
    <message>
        <source>Громче</source>
        <translation>Louder</translation>
    </message>
    <message>
        <source>Тише</source>
        <translation>Quieter</translation>
    </message>
    <message>
        <source>Во весь экран</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>Назад из полного экрана</source>
        <translation>Leave full screen</translation>
    </message>
    <message>
        <source>ДА</source>
        <translation>YES</translation>
    </message>
    <message>
        <source>НЕТ</source>
        <translation>NO</translation>
    </message>
    <message>
        <source>Нажать</source>
        <translation>Press</translation>
    </message>
    <message>
        <source>Нажать выбранное</source>
        <translation>Press the selected one</translation>
    </message>
    <message>
        <source>Влево</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Вправо</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Вверх</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Вниз</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>Дальше</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>Назад</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>Меню</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Цифра %1</source>
        <translation>Digit %1</translation>
    </message>
    <message>
        <source>Громкость %1 %</source>
        <translation>Volume %1 %</translation>
    </message>
</context>
<context>
    <name>GameApp</name>
    <message>
        <source>? ЗОРБАН !</source>
        <translation>? ZORBAN !</translation>
    </message>
    <message>
        <source>В этой папке уже идут другие игры.

Эта игра идёт без журнала.</source>
        <translation>Other games are already running in this folder.

This game runs without a log.</translation>
    </message>
    <message>
        <source>В этой папке уже идёт другая игра, её журнал — log.txt.

Журнал этой игры пишется в %1.</source>
        <translation>Another game is already running in this folder; its log is log.txt.

This game’s log is written to %1.</translation>
    </message>
    <message>
        <source>Не удаётся записать журнал игры:
%1
(%2)

Игра продолжается без записи.</source>
        <translation>The game log cannot be written:
%1
(%2)

The game goes on without a log.</translation>
    </message>
    <message>
        <source>файл статистики повреждён и не отложен</source>
        <translation>the statistics file is damaged and could not be set aside</translation>
    </message>
    <message>
        <source>символическая ссылка</source>
        <translation>a symbolic link</translation>
    </message>
    <message>
        <source>именованный канал</source>
        <translation>a named pipe</translation>
    </message>
    <message>
        <source>устройство</source>
        <translation>a device</translation>
    </message>
    <message>
        <source>папка</source>
        <translation>a folder</translation>
    </message>
    <message>
        <source>не обычный файл (%1)</source>
        <translation>not a regular file (%1)</translation>
    </message>
    <message>
        <source>%1 в этой папке — %2.

Игра не трогает его и идёт без журнала.</source>
        <translation>%1 in this folder is %2.

The game leaves it alone and plays on without a log.</translation>
    </message>
</context>
<context>
    <name>GameTexts</name>
    <message>
        <source>             Выберите                      свой чемодан</source>
        <translation>             Choose                      your own case</translation>
    </message>
    <message>
        <source>             Выберите                чемодан для обмена</source>
        <translation>             Choose                a case to swap for</translation>
    </message>
    <message>
        <source>           чемоданов              до предложения банка</source>
        <translation>           cases              before the bank’s offer</translation>
    </message>
    <message>
        <source>           чемодана              до предложения банка</source>
        <translation>           cases              before the bank’s offer</translation>
    </message>
    <message>
        <source>           чемодан              до предложения банка</source>
        <translation>           case              before the bank’s offer</translation>
    </message>
    <message>
        <source>ОБМЕН</source>
        <translation>SWAP</translation>
    </message>
    <message>
        <source>ObMEH</source>
        <translation>SWAP</translation>
    </message>
</context>
<context>
    <name>GameWindow</name>
    <message>
        <source>? ЗОРБАН !</source>
        <translation>? ZORBAN !</translation>
    </message>
    <message>
        <source>Банк предлагал:</source>
        <translation>The bank offered:</translation>
    </message>
    <message>
        <source>Выигрыш</source>
        <translation>Winnings</translation>
    </message>
    <message>
        <source>Начать игру</source>
        <translation>Start game</translation>
    </message>
    <message>
        <source>Новая игра</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>ДА</source>
        <translation>YES</translation>
    </message>
    <message>
        <source>НЕТ</source>
        <translation>NO</translation>
    </message>
    <message>
        <source>Об авторах</source>
        <translation>About the authors</translation>
    </message>
</context>
<context>
    <name>RulesDialog</name>
    <message>
        <source>Правила</source>
        <translation>Rules</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Как играть&lt;/h2&gt;&lt;ol&gt;&lt;li&gt;Нажмите «Начать игру». Суммы от 0,01 до 3&amp;nbsp;000&amp;nbsp;000 спрятаны в 22 чемоданах и видны на табло справа.&lt;/li&gt;&lt;li&gt;Выберите свой чемодан. Он встаёт под пирамиду; что в нём, вы не знаете.&lt;/li&gt;&lt;li&gt;Открывайте остальные чемоданы по одному. Открытая сумма уходит с табло; панель внизу считает, сколько чемоданов осталось до звонка банкира.&lt;/li&gt;&lt;li&gt;После 6, 9, 12, 15, 18 и 20 открытых чемоданов банкир предлагает деньги за ваш чемодан, глядя на суммы, оставшиеся на табло.&lt;/li&gt;&lt;li&gt;Когда остаётся один чужой чемодан, откройте его щелчком (или клавишами). Затем открывается ваш, и вы видите выигрыш. «Новая игра» начинает сначала.&lt;/li&gt;&lt;/ol&gt;&lt;h2&gt;Ответы банкиру&lt;/h2&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;«ДА» на деньги&lt;/b&gt;: вы продали свой чемодан. Игра идёт дальше, вы открываете оставшиеся чемоданы, а выигрыш — принятая сумма, что бы ни было в вашем чемодане. Следующие предложения денег только показываются, но обмен банкир предложить ещё может, и на него снова отвечают «ДА» или «НЕТ».&lt;/li&gt;&lt;li&gt;&lt;b&gt;«НЕТ»&lt;/b&gt;: игра продолжается; предложение записывается под «Банк предлагал:».&lt;/li&gt;&lt;li&gt;&lt;b&gt;«ОБМЕН»&lt;/b&gt;: банкир предлагает поменять ваш чемодан. До 20 открытых чемоданов «ДА» позволяет выбрать любой закрытый чемодан (выбор своего оставляет его вам). При 20 открытых «ДА» сразу меняет ваш чемодан на последний закрытый. «НЕТ» оставляет ваш чемодан.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Если вы ни разу не сказали «ДА» на деньги, выигрыш — сумма в вашем чемодане.&lt;/p&gt;&lt;h2&gt;Клавиши&lt;/h2&gt;&lt;table cellpadding=&apos;3&apos;&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;номер + Enter&lt;/b&gt;&lt;/td&gt;&lt;td&gt;чемодан с этим номером на табличке&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;стрелки, Tab&lt;/b&gt;&lt;/td&gt;&lt;td&gt;перейти к другому чемодану или кнопке&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Enter, пробел&lt;/b&gt;&lt;/td&gt;&lt;td&gt;открыть выбранный чемодан, нажать выбранную кнопку; Enter — «Начать игру» и «Новая игра»&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Y или Д&lt;/b&gt;&lt;/td&gt;&lt;td&gt;«ДА»&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;N или Н&lt;/b&gt;&lt;/td&gt;&lt;td&gt;«НЕТ»&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F1&lt;/b&gt;&lt;/td&gt;&lt;td&gt;эти правила&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F11&lt;/b&gt;&lt;/td&gt;&lt;td&gt;во весь экран; Esc — выйти из него&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;M&lt;/b&gt;&lt;/td&gt;&lt;td&gt;звук вкл/выкл&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;+ и −&lt;/b&gt;&lt;/td&gt;&lt;td&gt;громче и тише&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;правая кнопка мыши, Menu&lt;/b&gt;&lt;/td&gt;&lt;td&gt;меню&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+Q&lt;/b&gt;&lt;/td&gt;&lt;td&gt;выход&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;</source>
        <translation>&lt;h2&gt;How to play&lt;/h2&gt;&lt;ol&gt;&lt;li&gt;Press “Start game”. Amounts from 0.01 to 3&amp;nbsp;000&amp;nbsp;000 are hidden in 22 briefcases and shown on the board on the right.&lt;/li&gt;&lt;li&gt;Pick your own case. It moves under the pyramid; what it holds, you do not know.&lt;/li&gt;&lt;li&gt;Open the other cases one by one. An opened amount leaves the board; the panel at the bottom counts the cases left before the banker calls.&lt;/li&gt;&lt;li&gt;After 6, 9, 12, 15, 18 and 20 opened cases the banker offers money for your case, judging by the amounts still on the board.&lt;/li&gt;&lt;li&gt;When one other case is left, open it with a click (or the keys). Then yours is opened, and you see your winnings. “New game” starts again.&lt;/li&gt;&lt;/ol&gt;&lt;h2&gt;Answering the banker&lt;/h2&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;“YES” to money&lt;/b&gt;: you have sold your case. The game goes on, you open the remaining cases, and your winnings are the amount you accepted, whatever your case holds. Later money offers are only shown, but the banker can still offer a swap, which you answer with “YES” or “NO” again.&lt;/li&gt;&lt;li&gt;&lt;b&gt;“NO”&lt;/b&gt;: the game goes on; the offer is written under “The bank offered:”.&lt;/li&gt;&lt;li&gt;&lt;b&gt;“SWAP”&lt;/b&gt;: the banker offers to swap your case. Before 20 opened cases, “YES” lets you pick any closed case (picking your own keeps it yours). At 20 opened cases “YES” swaps your case for the last closed one at once. “NO” keeps your case.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;If you never said “YES” to money, your winnings are the amount in your case.&lt;/p&gt;&lt;h2&gt;Keys&lt;/h2&gt;&lt;table cellpadding=&apos;3&apos;&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;number + Enter&lt;/b&gt;&lt;/td&gt;&lt;td&gt;the case with that number on its plate&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;arrows, Tab&lt;/b&gt;&lt;/td&gt;&lt;td&gt;move to another case or button&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Enter, Space&lt;/b&gt;&lt;/td&gt;&lt;td&gt;open the selected case, press the selected button; Enter: “Start game” and “New game”&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Y&lt;/b&gt;&lt;/td&gt;&lt;td&gt;“YES”&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;N&lt;/b&gt;&lt;/td&gt;&lt;td&gt;“NO”&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F1&lt;/b&gt;&lt;/td&gt;&lt;td&gt;these rules&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;F11&lt;/b&gt;&lt;/td&gt;&lt;td&gt;full screen; Esc leaves it&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;M&lt;/b&gt;&lt;/td&gt;&lt;td&gt;sound on/off&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;+ and −&lt;/b&gt;&lt;/td&gt;&lt;td&gt;louder and quieter&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;right mouse button, Menu&lt;/b&gt;&lt;/td&gt;&lt;td&gt;menu&lt;/td&gt;&lt;/tr&gt;&lt;tr&gt;&lt;td&gt;&lt;b&gt;Ctrl+Q&lt;/b&gt;&lt;/td&gt;&lt;td&gt;quit&lt;/td&gt;&lt;/tr&gt;&lt;/table&gt;</translation>
    </message>
</context>
<context>
    <name>StatisticsWindow</name>
    <message>
        <source>Статистика не записана в файл: %1</source>
        <translation>The statistics were not written to the file: %1</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Сыгранных игр пока нет.</source>
        <translation>No games played yet.</translation>
    </message>
    <message>
        <source>Сыграно игр:</source>
        <translation>Games played:</translation>
    </message>
    <message>
        <source>Игр брошено:</source>
        <translation>Games left unfinished:</translation>
    </message>
    <message>
        <source>Выиграно всего:</source>
        <translation>Won in all:</translation>
    </message>
    <message>
        <source>Средний выигрыш:</source>
        <translation>Average winnings:</translation>
    </message>
    <message>
        <source>Лучший выигрыш:</source>
        <translation>Best winnings:</translation>
    </message>
    <message>
        <source>Принято предложений банка:</source>
        <translation>Bank offers accepted:</translation>
    </message>
    <message>
        <source>   больше, чем в своём чемодане:</source>
        <translation>   more than the own case held:</translation>
    </message>
    <message>
        <source>   меньше, чем в своём чемодане:</source>
        <translation>   less than the own case held:</translation>
    </message>
    <message>
        <source>   столько же:</source>
        <translation>   as much:</translation>
    </message>
    <message>
        <source>   выгода сделок против своих чемоданов:</source>
        <translation>   gain of the deals over the own cases:</translation>
    </message>
    <message>
        <source>Обменов чемоданов:</source>
        <translation>Cases exchanged:</translation>
    </message>
    <message>
        <source>   из них удачных:</source>
        <translation>   of them for the better:</translation>
    </message>
    <message>
        <source>Последняя игра: предложения банка, тысячи</source>
        <translation>Last game: the bank’s offers, in thousands</translation>
    </message>
    <message>
        <source>Предложение банка</source>
        <translation>Bank offer</translation>
    </message>
    <message>
        <source>Предложение обмена</source>
        <translation>Exchange offer</translation>
    </message>
    <message>
        <source>Среднее на табло</source>
        <translation>Average on the board</translation>
    </message>
    <message>
        <source>Свой чемодан</source>
        <translation>Own case</translation>
    </message>
    <message>
        <source>Предложение</source>
        <translation>Offer</translation>
    </message>
    <message>
        <source>Начать статистику заново? Нынешний файл останется рядом как резервная копия.</source>
        <translation>Start the statistics afresh? The present file stays beside it as a backup.</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Начать заново</source>
        <translation>Start afresh</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Принятое предложение</source>
        <translation>Offer accepted</translation>
    </message>
</context>
</TS>
