<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>Accessibility</name>
    <message>
        <source>Новая игра.</source>
        <translation>New game.</translation>
    </message>
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
        <translation>The banker offers to swap your case</translation>
    </message>
    <message>
        <source>Банк предлагает %1</source>
        <translation>The banker offers %1</translation>
    </message>
    <message>
        <source>Суммы</source>
        <translation>Amounts</translation>
    </message>
    <message>
        <source>Банк предлагал</source>
        <translation>Earlier offers</translation>
    </message>
    <message>
        <source>Чемодан %1</source>
        <translation>Case %1</translation>
    </message>
    <message>
        <source>Об авторах</source>
        <translation>Credits</translation>
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
        <source>в игре</source>
        <translation>in play</translation>
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
    <message>
        <source>Быстрая игра включена.</source>
        <translation>Quick game on.</translation>
    </message>
    <message>
        <source>Быстрая игра выключена.</source>
        <translation>Quick game off.</translation>
    </message>
    <message>
        <source>Банк предлагает обмен.</source>
        <translation>The bank offers a swap.</translation>
    </message>
    <message>
        <source>Банк предлагает %1. Отвечать не нужно.</source>
        <translation>The bank offers %1. Nothing to answer.</translation>
    </message>
    <message>
        <source>Банк предлагает %1.</source>
        <translation>The bank offers %1.</translation>
    </message>
    <message>
        <source>Без обмена, играем дальше.</source>
        <translation>No swap, play on.</translation>
    </message>
    <message>
        <source>Без сделки, играем дальше.</source>
        <translation>No deal, play on.</translation>
    </message>
    <message>
        <source>Вы продали свой чемодан за %1.</source>
        <translation>You sold your case for %1.</translation>
    </message>
    <message>
        <source>Ваш чемодан %1: %2.</source>
        <translation>Your case %1 held %2.</translation>
    </message>
    <message>
        <source>Выигрыш: %1.</source>
        <translation>You win %1.</translation>
    </message>
    <message>
        <source>Остался один чемодан, кроме вашего: %1.</source>
        <translation>One case left besides yours: %1.</translation>
    </message>
    <message>
        <source>Теперь откроется ваш чемодан %1.</source>
        <translation>Your case %1 opens now.</translation>
    </message>
    <message>
        <source>%1, выбыла</source>
        <translation>%1, out of play</translation>
    </message>
    <message>
        <source>Суммы в игре: %1.</source>
        <translation>Amounts in play: %1.</translation>
    </message>
    <message>
        <source>Банк ещё ничего не предлагал.</source>
        <translation>The bank has offered nothing yet.</translation>
    </message>
    <message>
        <source>Банк предлагал: %1.</source>
        <translation>The bank offered: %1.</translation>
    </message>
    <message>
        <source>Закрыты чемоданы: %1.</source>
        <translation>Closed cases: %1.</translation>
    </message>
    <message>
        <source>Сейчас нельзя.</source>
        <translation>Not now.</translation>
    </message>
    <message>
        <source>Все суммы открыты.</source>
        <translation>Every amount is open.</translation>
    </message>
    <message>
        <source>Все чемоданы открыты.</source>
        <translation>Every case is open.</translation>
    </message>
    <message>
        <source>Других закрытых чемоданов нет.</source>
        <translation>No other case is closed.</translation>
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
        <translation>With thanks to</translation>
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
        <translation>Licence</translation>
    </message>
    <message>
        <source>шрифт</source>
        <translation>font</translation>
    </message>
    <message>
        <source>файл LICENSE рядом с игрой</source>
        <translation>see the LICENSE file that comes with the game</translation>
    </message>
    <message>
        <source>© 2026 Команда «Зорбан»</source>
        <translation>© 2026 The Zorban team</translation>
    </message>
    <message>
        <source>копируйте и меняйте свободно</source>
        <translation>free to copy and modify</translation>
    </message>
    <message>
        <source>авторы перечислены в истории git</source>
        <translation>authors listed in the git history</translation>
    </message>
</context>
<context>
    <name>CreditsWindow</name>
    <message>
        <source>Об авторах...</source>
        <translation>Credits</translation>
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
        <translation>%1%</translation>
    </message>
    <message>
        <source>Статистика</source>
        <translation>Statistics</translation>
    </message>
    <message>
        <source>Об авторах</source>
        <translation>Credits</translation>
    </message>
    <message>
        <source>Игра ещё идёт. Бросить её и начать новую?</source>
        <translation>A game is in progress. Abandon it and start a new one?</translation>
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
        <translation>A game is in progress. Abandon it and quit?</translation>
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
        <translation>Exit full screen</translation>
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
        <translation>Volume %1%</translation>
    </message>
    <message>
        <source>Быстрая игра</source>
        <translation>Quick game</translation>
    </message>
    <message>
        <source>Звук выключен.</source>
        <translation>Sound off.</translation>
    </message>
    <message>
        <source>Звук включён.</source>
        <translation>Sound on.</translation>
    </message>
    <message>
        <source>Повторить новость</source>
        <translation>Repeat the news</translation>
    </message>
    <message>
        <source>Суммы в игре</source>
        <translation>Amounts in play</translation>
    </message>
    <message>
        <source>Предложения банка</source>
        <translation>The bank’s offers</translation>
    </message>
    <message>
        <source>Закрытые чемоданы</source>
        <translation>Closed cases</translation>
    </message>
    <message>
        <source>Читать табло</source>
        <translation>Read the board</translation>
    </message>
    <message>
        <source>Табло ещё закрыто.</source>
        <translation>The board is not up yet.</translation>
    </message>
    <message>
        <source>Во весь экран.</source>
        <translation>Full screen.</translation>
    </message>
    <message>
        <source>В окне.</source>
        <translation>In a window.</translation>
    </message>
    <message>
        <source>Громкость: %1 из 100, звук выключен.</source>
        <translation>Volume: %1 of 100, sound off.</translation>
    </message>
    <message>
        <source>Громкость: %1 из 100.</source>
        <translation>Volume: %1 of 100.</translation>
    </message>
    <message>
        <source>Край.</source>
        <translation>Edge.</translation>
    </message>
    <message>
        <source>Итоги партии</source>
        <translation>Game summary</translation>
    </message>
    <message>
        <source>Итоги в конце партии</source>
        <translation>Summary at the end of a game</translation>
    </message>
</context>
<context>
    <name>FileProblem</name>
    <message>
        <source>на месте %1 стоит символическая ссылка</source>
        <translation>a symbolic link stands where %1 belongs</translation>
    </message>
    <message>
        <source>на месте %1 стоит именованный канал</source>
        <translation>a named pipe stands where %1 belongs</translation>
    </message>
    <message>
        <source>на месте %1 стоит устройство</source>
        <translation>a device stands where %1 belongs</translation>
    </message>
    <message>
        <source>на месте %1 стоит папка</source>
        <translation>a folder stands where %1 belongs</translation>
    </message>
    <message>
        <source>на месте %1 стоит не обычный файл</source>
        <translation>something other than a regular file stands where %1 belongs</translation>
    </message>
    <message>
        <source>%1 лежит на диске, открытом только для чтения</source>
        <translation>%1 is on a read-only disk</translation>
    </message>
    <message>
        <source>нет права записи в %1</source>
        <translation>no permission to write %1</translation>
    </message>
    <message>
        <source>путь к %1 длиннее, чем позволяет система</source>
        <translation>the path to %1 is longer than the system allows</translation>
    </message>
    <message>
        <source>папки для %1 больше нет</source>
        <translation>the folder of %1 is gone</translation>
    </message>
    <message>
        <source>на диске нет места для %1</source>
        <translation>the disk has no room for %1</translation>
    </message>
    <message>
        <source>другая игра давно держит %1</source>
        <translation>another game has been holding %1 for too long</translation>
    </message>
    <message>
        <source>%1: ошибка системы (%2)</source>
        <translation>%1: system error (%2)</translation>
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

The game continues without a log.</translation>
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
        <source>%1 в этой папке — %2.

Игра не трогает его и идёт без журнала.</source>
        <translation>%1 in this folder is %2.

The game leaves it alone and plays on without a log.</translation>
    </message>
    <message>
        <source>не обычный файл</source>
        <translation>not a regular file</translation>
    </message>
</context>
<context>
    <name>GameTexts</name>
    <message>
        <source>ОБМЕН</source>
        <comment>the exchange of cases offered on the banker&apos;s panel</comment>
        <translation>Swap your case?</translation>
    </message>
    <message>
        <source>ObMEH</source>
        <comment>an exchange offer in the earlier offers</comment>
        <translation>Swap</translation>
    </message>
    <message numerus="yes">
        <source>           чемоданов              до предложения банка</source>
        <comment>after the number of cases left to open</comment>
        <translation>
            <numerusform>case left
before the bank’s offer</numerusform>
            <numerusform>cases left
before the bank’s offer</numerusform>
        </translation>
    </message>
    <message>
        <source>             Выберите                      свой чемодан</source>
        <translation>Choose
your case</translation>
    </message>
    <message>
        <source>             Выберите                чемодан для обмена</source>
        <translation>Choose the case
you want instead</translation>
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
        <translation>Earlier offers:</translation>
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
        <translation>Credits</translation>
    </message>
    <message>
        <source>продано</source>
        <translation>sold</translation>
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
        <source>&lt;h2&gt;Геймпад&lt;/h2&gt;&lt;p&gt;&lt;b&gt;крестовина, левый стик&lt;/b&gt; — перейти к другому чемодану или кнопке&lt;/p&gt;&lt;p&gt;&lt;b&gt;A&lt;/b&gt; — нажать выбранное; во время ожидания — открыть чемодан сразу&lt;/p&gt;&lt;p&gt;&lt;b&gt;B&lt;/b&gt; — «НЕТ»; закрыть окно поверх игры&lt;/p&gt;&lt;p&gt;&lt;b&gt;Y&lt;/b&gt; — «ДА»&lt;/p&gt;&lt;p&gt;&lt;b&gt;Start&lt;/b&gt; — меню&lt;/p&gt;&lt;p&gt;&lt;b&gt;Back / Select&lt;/b&gt; — во весь экран и обратно&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Game pad&lt;/h2&gt;&lt;p&gt;&lt;b&gt;D-pad, left stick&lt;/b&gt; — move to another case or button&lt;/p&gt;&lt;p&gt;&lt;b&gt;A&lt;/b&gt; — press the selected one; while waiting, open the case at once&lt;/p&gt;&lt;p&gt;&lt;b&gt;B&lt;/b&gt; — “NO”; close the window in front of the game&lt;/p&gt;&lt;p&gt;&lt;b&gt;Y&lt;/b&gt; — “YES”&lt;/p&gt;&lt;p&gt;&lt;b&gt;Start&lt;/b&gt; — menu&lt;/p&gt;&lt;p&gt;&lt;b&gt;Back / Select&lt;/b&gt; — full screen and back&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Как играть&lt;/h2&gt;&lt;ol&gt;&lt;li&gt;Нажмите «Начать игру». Суммы от %1 до %2 спрятаны в 22 чемоданах и видны на табло справа.&lt;/li&gt;&lt;li&gt;Выберите свой чемодан. Он встаёт под пирамиду; что в нём, вы не знаете.&lt;/li&gt;&lt;li&gt;Открывайте остальные чемоданы по одному. Открытая сумма уходит с табло; панель внизу считает, сколько чемоданов осталось до звонка банкира.&lt;/li&gt;&lt;li&gt;После 6, 9, 12, 15, 18 и 20 открытых чемоданов банкир предлагает деньги за ваш чемодан, глядя на суммы, оставшиеся на табло.&lt;/li&gt;&lt;li&gt;Когда остаётся один чужой чемодан, откройте его щелчком (или клавишами). Затем открывается ваш, и вы видите выигрыш. «Новая игра» начинает сначала.&lt;/li&gt;&lt;/ol&gt;&lt;h2&gt;Ответы банкиру&lt;/h2&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;«ДА» на деньги&lt;/b&gt;: вы продали свой чемодан. Игра идёт дальше, вы открываете оставшиеся чемоданы, а выигрыш — принятая сумма, что бы ни было в вашем чемодане. Следующие предложения денег только показываются, но обмен банкир предложить ещё может, и на него снова отвечают «ДА» или «НЕТ».&lt;/li&gt;&lt;li&gt;&lt;b&gt;«НЕТ»&lt;/b&gt;: игра продолжается; предложение записывается под «Банк предлагал:».&lt;/li&gt;&lt;li&gt;&lt;b&gt;«ОБМЕН»&lt;/b&gt;: банкир предлагает поменять ваш чемодан. До 20 открытых чемоданов «ДА» позволяет выбрать любой закрытый чемодан (выбор своего оставляет его вам). При 20 открытых «ДА» сразу меняет ваш чемодан на последний закрытый. «НЕТ» оставляет ваш чемодан.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Если вы ни разу не сказали «ДА» на деньги, выигрыш — сумма в вашем чемодане.&lt;/p&gt;&lt;h2&gt;Клавиши&lt;/h2&gt;&lt;p&gt;&lt;b&gt;номер + Enter&lt;/b&gt; — чемодан с этим номером на табличке&lt;/p&gt;&lt;p&gt;&lt;b&gt;стрелки, Tab&lt;/b&gt; — перейти к другому чемодану или кнопке&lt;/p&gt;&lt;p&gt;&lt;b&gt;Enter, пробел&lt;/b&gt; — открыть выбранный чемодан, нажать выбранную кнопку; Enter — «Начать игру» и «Новая игра»&lt;/p&gt;&lt;p&gt;&lt;b&gt;Enter, пробел в ожидании&lt;/b&gt; — открыть чемодан не дожидаясь конца музыки; «Быстрая игра» в меню сокращает все ожидания&lt;/p&gt;&lt;p&gt;&lt;b&gt;Y; Д в русской раскладке&lt;/b&gt; — «ДА»&lt;/p&gt;&lt;p&gt;&lt;b&gt;N; Т в русской раскладке (та же клавиша)&lt;/b&gt; — «НЕТ»; клавиша Y/Н в русской раскладке не отвечает ничего&lt;/p&gt;&lt;p&gt;&lt;b&gt;F1&lt;/b&gt; — эти правила&lt;/p&gt;&lt;p&gt;&lt;b&gt;F2&lt;/b&gt; — повторить последнюю новость (для программ чтения с экрана)&lt;/p&gt;&lt;p&gt;&lt;b&gt;F3&lt;/b&gt; — суммы, ещё оставшиеся в игре, от меньшей к большей&lt;/p&gt;&lt;p&gt;&lt;b&gt;F4&lt;/b&gt; — предложения банка и принятое&lt;/p&gt;&lt;p&gt;&lt;b&gt;F5&lt;/b&gt; — номера закрытых чемоданов&lt;/p&gt;&lt;p&gt;&lt;b&gt;F6&lt;/b&gt; — читать табло стрелками; F6, Enter или Esc — назад&lt;/p&gt;&lt;p&gt;&lt;b&gt;F11&lt;/b&gt; — во весь экран; Esc — выйти из него&lt;/p&gt;&lt;p&gt;&lt;b&gt;M&lt;/b&gt; — звук вкл/выкл&lt;/p&gt;&lt;p&gt;&lt;b&gt;+ и −&lt;/b&gt; — громче и тише&lt;/p&gt;&lt;p&gt;&lt;b&gt;правая кнопка мыши, Menu&lt;/b&gt; — меню&lt;/p&gt;&lt;p&gt;&lt;b&gt;Ctrl+Q&lt;/b&gt; — выход&lt;/p&gt;</source>
        <translation>&lt;h2&gt;How to play&lt;/h2&gt;&lt;ol&gt;&lt;li&gt;Press “Start game”. Twenty-two briefcases hide the amounts from %1 to %2, which are listed on the board on the right.&lt;/li&gt;&lt;li&gt;Choose your case. It moves below the others, and you do not know what it holds.&lt;/li&gt;&lt;li&gt;Open the other cases one at a time. Each amount you reveal leaves the board; the panel at the bottom counts down the cases left before the banker calls.&lt;/li&gt;&lt;li&gt;When 6, 9, 12, 15, 18 and 20 cases are open, the banker offers you money for your case, based on the amounts still on the board.&lt;/li&gt;&lt;li&gt;When only one other case is left, open it with a click (or the keys). Your own case is opened next and shows what you have won. “New game” starts over.&lt;/li&gt;&lt;/ol&gt;&lt;h2&gt;Answering the banker&lt;/h2&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;“YES” to money&lt;/b&gt;: you sell your case. Play goes on and you open the remaining cases, but you win the amount you accepted, whatever your case holds. Later money offers are only shown; the banker may still offer a swap, which you answer with “YES” or “NO” as before.&lt;/li&gt;&lt;li&gt;&lt;b&gt;“NO”&lt;/b&gt;: play goes on, and the offer is listed under “Earlier offers”.&lt;/li&gt;&lt;li&gt;&lt;b&gt;“Swap your case?”&lt;/b&gt;: the banker offers you another case for yours. Before 20 cases are open, “YES” lets you pick any closed case (picking your own keeps it). With 20 cases open, “YES” swaps your case for the last closed one straight away. “NO” keeps your case.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;If you never say “YES” to money, you win the amount in your case.&lt;/p&gt;&lt;h2&gt;Keys&lt;/h2&gt;&lt;p&gt;&lt;b&gt;number + Enter&lt;/b&gt; — the case with that number&lt;/p&gt;&lt;p&gt;&lt;b&gt;arrows, Tab&lt;/b&gt; — move to another case or button&lt;/p&gt;&lt;p&gt;&lt;b&gt;Enter, Space&lt;/b&gt; — open the selected case or press the selected button; Enter also presses “Start game” and “New game”&lt;/p&gt;&lt;p&gt;&lt;b&gt;Enter, Space while waiting&lt;/b&gt; — open the case without waiting for the music to end; “Quick game” in the menu shortens every wait&lt;/p&gt;&lt;p&gt;&lt;b&gt;Y; in the Russian layout the key marked L&lt;/b&gt; — “YES”&lt;/p&gt;&lt;p&gt;&lt;b&gt;N, in either layout&lt;/b&gt; — “NO”; in the Russian layout the key marked Y answers nothing (its Russian letter means “no”)&lt;/p&gt;&lt;p&gt;&lt;b&gt;F1&lt;/b&gt; — these rules&lt;/p&gt;&lt;p&gt;&lt;b&gt;F2&lt;/b&gt; — the last news again (for screen readers)&lt;/p&gt;&lt;p&gt;&lt;b&gt;F3&lt;/b&gt; — the amounts still in play, low to high&lt;/p&gt;&lt;p&gt;&lt;b&gt;F4&lt;/b&gt; — the bank’s offers and the one accepted&lt;/p&gt;&lt;p&gt;&lt;b&gt;F5&lt;/b&gt; — the numbers of the closed cases&lt;/p&gt;&lt;p&gt;&lt;b&gt;F6&lt;/b&gt; — read the board with the arrows; F6, Enter or Esc to come back&lt;/p&gt;&lt;p&gt;&lt;b&gt;F11&lt;/b&gt; — full screen (Esc leaves it)&lt;/p&gt;&lt;p&gt;&lt;b&gt;M&lt;/b&gt; — sound on or off&lt;/p&gt;&lt;p&gt;&lt;b&gt;+ and −&lt;/b&gt; — louder and quieter&lt;/p&gt;&lt;p&gt;&lt;b&gt;right mouse button, Menu&lt;/b&gt; — the menu&lt;/p&gt;&lt;p&gt;&lt;b&gt;Ctrl+Q&lt;/b&gt; — quit&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>StatisticsKeeper</name>
    <message>
        <source>файл статистики повреждён и не отложен</source>
        <translation>the statistics file is damaged and could not be moved aside</translation>
    </message>
</context>
<context>
    <name>StatisticsWindow</name>
    <message>
        <source>Статистика не записана в файл: %1</source>
        <translation>The statistics could not be saved: %1</translation>
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
        <translation>Games abandoned:</translation>
    </message>
    <message>
        <source>Выиграно всего:</source>
        <translation>Total winnings:</translation>
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
        <source>Обменов чемоданов:</source>
        <translation>Cases swapped:</translation>
    </message>
    <message>
        <source>Последняя игра: предложения банка, тысячи</source>
        <translation>Last game: the bank’s offers (thousands)</translation>
    </message>
    <message>
        <source>Предложение банка</source>
        <translation>Bank offer</translation>
    </message>
    <message>
        <source>Предложение обмена</source>
        <translation>Swap offer</translation>
    </message>
    <message>
        <source>Среднее на табло</source>
        <translation>Board average</translation>
    </message>
    <message>
        <source>Свой чемодан</source>
        <translation>Your case</translation>
    </message>
    <message>
        <source>Начать статистику заново? Нынешний файл останется рядом как резервная копия.</source>
        <translation>Reset the statistics? The current file is kept next to the new one as a backup.</translation>
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
        <translation>Reset</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Принятое предложение</source>
        <translation>Accepted offer</translation>
    </message>
    <message>
        <source>больше, чем в своём чемодане:</source>
        <translation>worth more than your case:</translation>
    </message>
    <message>
        <source>меньше, чем в своём чемодане:</source>
        <translation>worth less than your case:</translation>
    </message>
    <message>
        <source>столько же:</source>
        <translation>worth the same:</translation>
    </message>
    <message>
        <source>выгода сделок против своих чемоданов:</source>
        <translation>net gain from the deals:</translation>
    </message>
    <message>
        <source>из них удачных:</source>
        <translation>for a better case:</translation>
    </message>
    <message>
        <source>Цифры всех игр и график последней</source>
        <translation>Figures of all games and a chart of the last one</translation>
    </message>
    <message>
        <source>плюс %1</source>
        <translation>plus %1</translation>
    </message>
    <message>
        <source>минус %1</source>
        <translation>minus %1</translation>
    </message>
    <message>
        <source>Последняя игра: банк не предлагал денег.</source>
        <translation>Last game: the bank offered no money.</translation>
    </message>
    <message>
        <source>Последняя игра, предложений банка: %1; первое %2, последнее %3, наибольшее %4.</source>
        <translation>Last game, bank offers: %1; the first %2, the last %3, the highest %4.</translation>
    </message>
    <message>
        <source>Предложений обмена: %1.</source>
        <translation>Swap offers: %1.</translation>
    </message>
    <message>
        <source>Принято предложение %1.</source>
        <translation>Offer accepted: %1.</translation>
    </message>
    <message>
        <source>Ни одно предложение не принято.</source>
        <translation>No offer accepted.</translation>
    </message>
    <message>
        <source>В своём чемодане: %1.</source>
        <translation>Your own case held %1.</translation>
    </message>
    <message>
        <source>График последней игры</source>
        <translation>Chart of the last game</translation>
    </message>
    <message>
        <source>Итоги партии</source>
        <translation>Game summary</translation>
    </message>
    <message>
        <source>Открыто чемоданов</source>
        <translation>Cases opened</translation>
    </message>
</context>
<context>
    <name>SummaryWindow</name>
    <message>
        <source>ДА</source>
        <translation>YES</translation>
    </message>
    <message>
        <source>ДА, сделка</source>
        <translation>YES, deal</translation>
    </message>
    <message>
        <source>НЕТ</source>
        <translation>NO</translation>
    </message>
    <message>
        <source>после сделки</source>
        <translation>after the deal</translation>
    </message>
    <message>
        <source>не записан</source>
        <translation>not recorded</translation>
    </message>
    <message>
        <source>%1 из %2 (%3)</source>
        <translation>%1 of %2 (%3)</translation>
    </message>
    <message>
        <source>Итоги партии</source>
        <translation>Game summary</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Сыгранных партий пока нет.</source>
        <translation>No game has been finished yet.</translation>
    </message>
    <message>
        <source>Открыто
чемоданов</source>
        <translation>Cases
opened</translation>
    </message>
    <message>
        <source>Предложение
банка</source>
        <translation>Bank&apos;s
offer</translation>
    </message>
    <message>
        <source>Среднее
на табло</source>
        <translation>Board
average</translation>
    </message>
    <message>
        <source>Доля
среднего</source>
        <translation>Share of
the average</translation>
    </message>
    <message>
        <source>Ответ</source>
        <translation>Answer</translation>
    </message>
    <message>
        <source>Шанс, что в своём
больше</source>
        <translation>Chance your case
held more</translation>
    </message>
    <message>
        <source>обмен</source>
        <translation>swap</translation>
    </message>
    <message>
        <source>Открыто %1: банк предлагал обмен, среднее на табло %2; ответ: %3.</source>
        <translation>%1 opened: the bank offered a swap, board average %2; answer: %3.</translation>
    </message>
    <message>
        <source>Открыто %1: предложение %2, среднее на табло %3, это %4 среднего; ответ: %5.</source>
        <translation>%1 opened: offer %2, board average %3, that is %4 of the average; answer: %5.</translation>
    </message>
    <message>
        <source>Больше предложения было в %1 из %2 сумм в игре.</source>
        <translation>%1 of the %2 amounts in play were above the offer.</translation>
    </message>
    <message>
        <source>Обмен: отдан чемодан с %1, взят чемодан с %2.</source>
        <translation>Swap: gave a case holding %1, took one holding %2.</translation>
    </message>
    <message>
        <source>В своём чемодане было: %1.</source>
        <translation>Your case held: %1.</translation>
    </message>
    <message>
        <source>Выигрыш: %1.</source>
        <translation>Winnings: %1.</translation>
    </message>
    <message>
        <source>Ни одно предложение не принято: выигрыш — свой чемодан.</source>
        <translation>No offer taken: you won what your case held.</translation>
    </message>
    <message>
        <source>Сделка принесла на %1 больше, чем было в своём чемодане.</source>
        <translation>The deal gained %1 over what your case held.</translation>
    </message>
    <message>
        <source>Сделка принесла на %1 меньше, чем было в своём чемодане.</source>
        <translation>The deal lost %1 against what your case held.</translation>
    </message>
    <message>
        <source>Сделка принесла ровно столько, сколько было в своём чемодане.</source>
        <translation>The deal gave exactly what your case held.</translation>
    </message>
</context>
</TS>
