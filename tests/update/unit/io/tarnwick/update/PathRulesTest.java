package io.tarnwick.update;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertTrue;
import static org.junit.Assert.fail;

import java.util.List;
import org.junit.Test;

public class PathRulesTest {
    private static String refusal(String path) {
        try {
            PathRules.check(path);
        } catch (UpdateException e) {
            return e.getMessage();
        }
        fail("accepted " + path);
        return null;
    }

    @Test
    public void acceptsPlainRelativePaths() throws UpdateException {
        PathRules.checkAll(List.of("launcher", "lib/app.jar", "jre/lib/server/libjvm.so", "cfg/launcher.json",
                "updater/lib/tarnwick-update.jar", "lib/.hidden", "lib/a..b.jar", "lib/install.me"));
    }

    @Test
    public void refusesWhatLeavesTheFolderInWindowsAndPosixForms() {
        String[][] cases = {
            {"../evil.jar", "\"..\" segment"},
            {"lib/../../evil.jar", "\"..\" segment"},
            {"lib/./app.jar", "\".\" segment"},
            {"/etc/passwd", "absolute"},
            {"C:/Windows/evil.dll", "drive letter"},
            {"c:evil.dll", "drive letter"},
            {"lib\\..\\..\\evil.jar", "backslash"},
            {"\\\\server\\share\\evil.jar", "backslash"},
            {"lib/app.jar:stream", "Windows stream"},
            {"lib//app.jar", "empty segment"},
            {"lib/", "empty segment"},
            {"", "empty"},
            {"lib/app\u0000.jar", "control character"},
            {"lib/app\n.jar", "control character"},
            {"lib/CON", "device name"},
            {"lib/nul.txt", "device name"},
            {"lib/app.jar.", "ends with a dot"},
            {"lib/app.jar ", "ends with a dot or a blank"},
            {"lib/a?b.jar", "Windows does not allow"},
            {".tarnwick/installed.json", "state folder"},
            {".TARNWICK/journal.json", "state folder"},
            {"Install.ME", "every start an installation"},
        };
        for (String[] c : cases) {
            String message = refusal(c[0]);
            assertTrue(c[0] + ": " + message, message.contains(c[1]));
        }
    }

    @Test
    public void refusesPathsThatCollideWhenCaseIsFolded() {
        try {
            PathRules.checkAll(List.of("lib/App.jar", "LIB/app.JAR"));
            fail("accepted a case collision");
        } catch (UpdateException e) {
            assertEquals("the paths \"lib/App.jar\" and \"LIB/app.JAR\" are refused: they name the same file where"
                    + " case is not told apart (Windows, macOS)", e.getMessage());
        }
    }

    @Test
    public void refusesAFileThatIsAlsoAFolderOfAnotherPath() {
        try {
            PathRules.checkAll(List.of("lib", "Lib/app.jar"));
            fail("accepted a file under a file");
        } catch (UpdateException e) {
            assertTrue(e.getMessage(), e.getMessage().contains("is a file and a folder of the second"));
        }
    }
}
