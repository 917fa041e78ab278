<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Print where each movie and sound is found (or &quot;missing&quot;, or &quot;refused&quot; for a file the game will not play) and exit; the exit code is 1 when any is missing or refused. Needs no display.</source>
        <translation>Вывести, где найден каждый ролик и звук (или «missing», если его нет, или «refused» для файла, который игра не станет проигрывать), и выйти; код выхода 1, если чего-то нет или файл отвергнут. Дисплей не нужен.</translation>
    </message>
    <message>
        <source>Start with the sound muted.</source>
        <translation>Начать игру без звука.</translation>
    </message>
    <message>
        <source>Run in the game&apos;s own directory, $XDG_STATE_HOME/zorban (~/.local/state/zorban by default), created when missing: log.txt is written there, and music/ and flashes/ folders that re-skin the game are looked for there. The desktop menu entry starts the game this way; without this option the game runs in the directory it is started in.</source>
        <translation>Работать в собственном каталоге игры, $XDG_STATE_HOME/zorban (по умолчанию ~/.local/state/zorban), созданном, если его нет: там пишется log.txt и там ищутся папки music/ и flashes/, которые меняют оформление игры. Так игру запускает пункт меню рабочего стола; без этого параметра игра работает в каталоге, из которого запущена.</translation>
    </message>
    <message>
        <source>Speak &lt;language&gt; in this run: ru (Russian) or en (English). Without it the game speaks the language last chosen in its menu, else the system&apos;s language when it is one of these, else Russian. The log is written in Russian whatever the language.</source>
        <translation>Говорить в этом запуске на языке &lt;язык&gt;: ru (русский) или en (английский). Без этого параметра игра говорит на языке, выбранном последним в её меню, иначе на языке системы, если это один из них, иначе по-русски. Журнал пишется по-русски на любом языке.</translation>
    </message>
    <message>
        <source>language</source>
        <translation>язык</translation>
    </message>
    <message>
        <source>? ЗОРБАН ! - pick a case, open the others and answer the banker&apos;s offers.</source>
        <translation>? ЗОРБАН ! — выберите чемодан, открывайте остальные и отвечайте на предложения банкира.</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>Usage: %1</source>
        <translation>Запуск: %1</translation>
    </message>
    <message>
        <source>[options]</source>
        <translation>[параметры]</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Параметры:</translation>
    </message>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>Показать справку по параметрам командной строки.</translation>
    </message>
    <message>
        <source>Displays help including Qt specific options.</source>
        <translation>Показать справку, включая параметры Qt.</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>Показать версию.</translation>
    </message>
    <message>
        <source>Unknown option &apos;%1&apos;.</source>
        <translation>Неизвестный параметр «%1».</translation>
    </message>
    <message>
        <source>Unknown options: %1.</source>
        <translation>Неизвестные параметры: %1.</translation>
    </message>
    <message>
        <source>Missing value after &apos;%1&apos;.</source>
        <translation>Нет значения после «%1».</translation>
    </message>
    <message>
        <source>Unexpected value after &apos;%1&apos;.</source>
        <translation>Лишнее значение после «%1».</translation>
    </message>
</context>
</TS>
