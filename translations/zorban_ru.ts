<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>Start with the sound muted.</source>
        <translation>Начать игру без звука.</translation>
    </message>
    <message>
        <source>language</source>
        <translation>язык</translation>
    </message>
    <message>
        <source>Print where each movie and sound file is found (or &quot;missing&quot;, or &quot;refused&quot; for a file the game will not play) and exit. The exit code is 1 if any file is missing or refused. Needs no display.</source>
        <translation>Вывести, где найден каждый ролик и звук (или «missing», если его нет, или «refused» для файла, который игра не станет проигрывать), и выйти. Код выхода 1, если какого-то файла нет или он отвергнут. Дисплей не нужен.</translation>
    </message>
    <message>
        <source>Run in the game&apos;s own directory, $XDG_STATE_HOME/zorban (~/.local/state/zorban by default), creating it if needed. The game writes log.txt there, and music/ and flashes/ folders placed there re-skin the game. The desktop menu entry starts the game this way; without this option the game runs in the current directory.</source>
        <translation>Работать в собственном каталоге игры, $XDG_STATE_HOME/zorban (по умолчанию ~/.local/state/zorban), и создать его, если его нет. Там пишется log.txt, а папки music/ и flashes/, положенные туда, меняют оформление игры. Так игру запускает пункт меню рабочего стола; без этого параметра игра работает в текущем каталоге.</translation>
    </message>
    <message>
        <source>Show the game in &lt;language&gt; for this run: ru (Russian) or en (English). Without this option the game uses the language last chosen in its menu, else the system&apos;s language if it is one of these, else Russian. The log is always written in Russian.</source>
        <translation>Показывать игру в этом запуске на языке &lt;язык&gt;: ru (русский) или en (английский). Без этого параметра игра берёт язык, выбранный последним в её меню, иначе язык системы, если это один из них, иначе русский. Журнал всегда пишется по-русски.</translation>
    </message>
    <message>
        <source>Zorban: pick a briefcase, open the others and answer the banker&apos;s offers.</source>
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
