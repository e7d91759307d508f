<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>ExportResult</name>
    <message numerus="yes">
        <source>%n memos were saved before it.</source>
        <translation>
            <numerusform>%n memo was saved before it.</numerusform>
            <numerusform>%n memos were saved before it.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n memos saved to %1</source>
        <translation>
            <numerusform>%n memo saved to %1</numerusform>
            <numerusform>%n memos saved to %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The iPod shows only the first %1 notes; its Notes folder now holds %n.</source>
        <translation>
            <numerusform>The iPod shows only the first %1 notes; its Notes folder now holds %n.</numerusform>
            <numerusform>The iPod shows only the first %1 notes; its Notes folder now holds %n.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n memos were written but may not all have reached the device.</source>
        <translation>
            <numerusform>%n memo was written but may not have reached the device.</numerusform>
            <numerusform>%n memos were written but may not all have reached the device.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The record of Quillet&apos;s notes &quot;%1&quot; was damaged: %n of its lines could not be read and were left out.</source>
        <translation>
            <numerusform>The record of Quillet&apos;s notes &quot;%1&quot; was damaged: %n of its lines could not be read and was left out.</numerusform>
            <numerusform>The record of Quillet&apos;s notes &quot;%1&quot; was damaged: %n of its lines could not be read and were left out.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n memos hold bytes that are not text in %1; each such byte shows as &quot;%2&quot;. If the memos were written in another character set, export them again with that one.</source>
        <translation>
            <numerusform>%n memo holds bytes that are not text in %1; each such byte shows as &quot;%2&quot;. If the memos were written in another character set, export them again with that one.</numerusform>
            <numerusform>%n memos hold bytes that are not text in %1; each such byte shows as &quot;%2&quot;. If the memos were written in another character set, export them again with that one.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The iPod shows only the first 4 KB of a note; %n memos longer than that were saved in parts, each leading to the next.</source>
        <translation>
            <numerusform>The iPod shows only the first 4 KB of a note; %n memo longer than that was saved in parts, each leading to the next.</numerusform>
            <numerusform>The iPod shows only the first 4 KB of a note; %n memos longer than that were saved in parts, each leading to the next.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of them are memos changed in J-Pilot and not yet synced, from the .pc3 file beside the database.</source>
        <translation>
            <numerusform>%n of them is a memo changed in J-Pilot and not yet synced, from the .pc3 file beside the database.</numerusform>
            <numerusform>%n of them are memos changed in J-Pilot and not yet synced, from the .pc3 file beside the database.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message numerus="yes">
        <source>%n notes on the player were written by an earlier export for memos that are no longer in it. Remove them?</source>
        <translation>
            <numerusform>%n note on the player was written by an earlier export for a memo that is no longer in it. Remove it?</numerusform>
            <numerusform>%n notes on the player were written by an earlier export for memos that are no longer in it. Remove them?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>and %n more</numerusform>
            <numerusform>and %n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RemovalResult</name>
    <message numerus="yes">
        <source>%n notes were removed.</source>
        <translation>
            <numerusform>%n note was removed.</numerusform>
            <numerusform>%n notes were removed.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TerminalExport</name>
    <message numerus="yes">
        <source>The export was stopped: %n memos saved to %1
</source>
        <translation>
            <numerusform>The export was stopped: %n memo saved to %1
</numerusform>
            <numerusform>The export was stopped: %n memos saved to %1
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n notes of memos no longer in the export remain; --remove-gone removes them.
</source>
        <translation>
            <numerusform>%n note of a memo no longer in the export remains; --remove-gone removes it.
</numerusform>
            <numerusform>%n notes of memos no longer in the export remain; --remove-gone removes them.
</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n notes of memos no longer in the export were removed.
</source>
        <translation>
            <numerusform>%n note of a memo no longer in the export was removed.
</numerusform>
            <numerusform>%n notes of memos no longer in the export were removed.
</numerusform>
        </translation>
    </message>
</context>
</TS>
