<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru" sourcelanguage="ru">
<context>
    <name>GameTexts</name>
    <message numerus="yes">
        <source>           чемоданов              до предложения банка</source>
        <comment>after the number of cases left to open</comment>
        <translation>
            <numerusform>           чемодан              до предложения банка</numerusform>
            <numerusform>           чемодана              до предложения банка</numerusform>
            <numerusform>           чемоданов              до предложения банка</numerusform>
        </translation>
    </message>
</context>
</TS>
