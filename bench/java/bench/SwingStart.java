package bench;

import javax.swing.JButton;
import javax.swing.JFrame;
import javax.swing.JPanel;
import javax.swing.JScrollPane;
import javax.swing.JTable;
import javax.swing.JTextField;
import javax.swing.JTree;
import javax.swing.SwingUtilities;

/**
 * A realistic application start: a frame with a button, a text field, a
 * table and a tree, packed and disposed, which loads a few thousand classes.
 * From java it ends the process itself, so that AWT's shutdown delay does
 * not count; through the launcher it does the same with -Dbench.exit=true
 * (a start that must write the class-data archive returns instead).
 */
public final class SwingStart {
    private SwingStart() {}

    public static int run(String[] args) throws Exception {
        SwingUtilities.invokeAndWait(() -> {
            JFrame frame = new JFrame("bench");
            JPanel panel = new JPanel();
            panel.add(new JButton("button"));
            panel.add(new JTextField("text", 20));
            panel.add(new JScrollPane(new JTable(20, 5)));
            panel.add(new JScrollPane(new JTree()));
            frame.add(panel);
            frame.pack();
            frame.dispose();
        });
        if (Boolean.getBoolean("bench.exit")) {
            System.exit(0);
        }
        return 0;
    }

    public static void main(String[] args) throws Exception {
        run(args);
        System.exit(0);
    }
}
