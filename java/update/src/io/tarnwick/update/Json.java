package io.tarnwick.update;

import java.math.BigDecimal;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Strict JSON reading and writing for the library's own small files. Objects
 * become {@code Map<String, Object>} (keys in file order), arrays
 * {@code List<Object>}, numbers {@link BigDecimal}, plus String, Boolean and
 * null. A duplicate key is an error: two readers must never see two meanings.
 */
public final class Json {
    private static final int MAX_DEPTH = 64;

    private final String text;
    private int pos;
    private int depth;

    private Json(String text) {
        this.text = text;
    }

    /** Parses UTF-8 bytes; {@code what} names the file in the error message. */
    public static Object parse(byte[] bytes, String what) throws UpdateException {
        return parse(new String(bytes, StandardCharsets.UTF_8), what);
    }

    public static Object parse(String text, String what) throws UpdateException {
        Json p = new Json(text);
        try {
            p.skipSpace();
            if (p.pos < text.length() && text.charAt(p.pos) == '\uFEFF') {
                p.pos++;
                p.skipSpace();
            }
            Object value = p.value();
            p.skipSpace();
            if (p.pos != text.length()) {
                throw p.error("text after the end");
            }
            return value;
        } catch (IllegalArgumentException e) {
            throw new UpdateException(what + " is not valid JSON: " + e.getMessage());
        }
    }

    /** The value as an object, or a clear error naming {@code what}. */
    @SuppressWarnings("unchecked")
    public static Map<String, Object> object(Object value, String what) throws UpdateException {
        if (!(value instanceof Map)) {
            throw new UpdateException(what + " must be a JSON object");
        }
        return (Map<String, Object>) value;
    }

    public static String string(Map<String, Object> o, String key, String what) throws UpdateException {
        Object v = o.get(key);
        if (!(v instanceof String)) {
            throw new UpdateException(what + ": \"" + key + "\" must be a text");
        }
        return (String) v;
    }

    public static String optionalString(Map<String, Object> o, String key, String what) throws UpdateException {
        return o.get(key) == null ? null : string(o, key, what);
    }

    public static long number(Map<String, Object> o, String key, String what) throws UpdateException {
        Object v = o.get(key);
        try {
            return ((BigDecimal) v).longValueExact();
        } catch (ClassCastException | NullPointerException | ArithmeticException e) {
            throw new UpdateException(what + ": \"" + key + "\" must be a whole number");
        }
    }

    public static boolean bool(Map<String, Object> o, String key, boolean absent, String what) throws UpdateException {
        Object v = o.get(key);
        if (v == null) {
            return absent;
        }
        if (!(v instanceof Boolean)) {
            throw new UpdateException(what + ": \"" + key + "\" must be true or false");
        }
        return (Boolean) v;
    }

    @SuppressWarnings("unchecked")
    public static List<Object> list(Map<String, Object> o, String key, String what) throws UpdateException {
        Object v = o.get(key);
        if (!(v instanceof List)) {
            throw new UpdateException(what + ": \"" + key + "\" must be a list");
        }
        return (List<Object>) v;
    }

    /** Writes a value (Map, List, String, Number, Boolean, null) compactly. */
    public static String write(Object value) {
        StringBuilder out = new StringBuilder();
        write(value, out);
        return out.toString();
    }

    private static void write(Object value, StringBuilder out) {
        if (value == null) {
            out.append("null");
        } else if (value instanceof String) {
            quote((String) value, out);
        } else if (value instanceof Number || value instanceof Boolean) {
            out.append(value);
        } else if (value instanceof Map) {
            out.append('{');
            boolean first = true;
            for (Map.Entry<?, ?> e : ((Map<?, ?>) value).entrySet()) {
                if (!first) {
                    out.append(", ");
                }
                first = false;
                quote((String) e.getKey(), out);
                out.append(": ");
                write(e.getValue(), out);
            }
            out.append('}');
        } else if (value instanceof List) {
            out.append('[');
            boolean first = true;
            for (Object item : (List<?>) value) {
                if (!first) {
                    out.append(", ");
                }
                first = false;
                write(item, out);
            }
            out.append(']');
        } else {
            throw new IllegalArgumentException(value.getClass().getName());
        }
    }

    private static void quote(String s, StringBuilder out) {
        out.append('"');
        for (int i = 0; i < s.length(); i++) {
            char c = s.charAt(i);
            if (c == '"' || c == '\\') {
                out.append('\\').append(c);
            } else if (c < 0x20) {
                out.append(String.format("\\u%04x", (int) c));
            } else {
                out.append(c);
            }
        }
        out.append('"');
    }

    private IllegalArgumentException error(String what) {
        return new IllegalArgumentException(what + " at offset " + pos);
    }

    private void skipSpace() {
        while (pos < text.length()) {
            char c = text.charAt(pos);
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
                return;
            }
            pos++;
        }
    }

    private Object value() {
        if (pos >= text.length()) {
            throw error("unexpected end");
        }
        char c = text.charAt(pos);
        switch (c) {
            case '{':
                return object();
            case '[':
                return array();
            case '"':
                return string();
            case 't':
                return literal("true", Boolean.TRUE);
            case 'f':
                return literal("false", Boolean.FALSE);
            case 'n':
                return literal("null", null);
            default:
                if (c == '-' || (c >= '0' && c <= '9')) {
                    return number();
                }
                throw error("unexpected character '" + c + "'");
        }
    }

    private Object literal(String word, Object value) {
        if (!text.startsWith(word, pos)) {
            throw error("unexpected word");
        }
        pos += word.length();
        return value;
    }

    private Map<String, Object> object() {
        enter();
        pos++;
        Map<String, Object> map = new LinkedHashMap<>();
        skipSpace();
        if (peek() == '}') {
            pos++;
            depth--;
            return Collections.unmodifiableMap(map);
        }
        while (true) {
            skipSpace();
            if (peek() != '"') {
                throw error("expected a key");
            }
            String key = string();
            skipSpace();
            expect(':');
            skipSpace();
            if (map.containsKey(key)) {
                throw error("duplicate key \"" + key + "\"");
            }
            map.put(key, value());
            skipSpace();
            if (peek() == ',') {
                pos++;
            } else {
                expect('}');
                depth--;
                return Collections.unmodifiableMap(map);
            }
        }
    }

    private List<Object> array() {
        enter();
        pos++;
        List<Object> list = new ArrayList<>();
        skipSpace();
        if (peek() == ']') {
            pos++;
            depth--;
            return Collections.unmodifiableList(list);
        }
        while (true) {
            skipSpace();
            list.add(value());
            skipSpace();
            if (peek() == ',') {
                pos++;
            } else {
                expect(']');
                depth--;
                return Collections.unmodifiableList(list);
            }
        }
    }

    private void enter() {
        if (++depth > MAX_DEPTH) {
            throw error("nested too deeply");
        }
    }

    private char peek() {
        if (pos >= text.length()) {
            throw error("unexpected end");
        }
        return text.charAt(pos);
    }

    private void expect(char c) {
        if (peek() != c) {
            throw error("expected '" + c + "'");
        }
        pos++;
    }

    private String string() {
        pos++;
        StringBuilder out = new StringBuilder();
        while (true) {
            char c = peek();
            pos++;
            if (c == '"') {
                return out.toString();
            }
            if (c < 0x20) {
                throw error("control character in a text");
            }
            if (c != '\\') {
                out.append(c);
                continue;
            }
            char e = peek();
            pos++;
            switch (e) {
                case '"': case '\\': case '/':
                    out.append(e);
                    break;
                case 'b': out.append('\b'); break;
                case 'f': out.append('\f'); break;
                case 'n': out.append('\n'); break;
                case 'r': out.append('\r'); break;
                case 't': out.append('\t'); break;
                case 'u':
                    if (pos + 4 > text.length()) {
                        throw error("short \\u escape");
                    }
                    try {
                        out.append((char) Integer.parseInt(text.substring(pos, pos + 4), 16));
                    } catch (NumberFormatException x) {
                        throw error("bad \\u escape");
                    }
                    pos += 4;
                    break;
                default:
                    throw error("bad escape");
            }
        }
    }

    private BigDecimal number() {
        int start = pos;
        if (peek() == '-') {
            pos++;
        }
        while (pos < text.length() && "0123456789.eE+-".indexOf(text.charAt(pos)) >= 0) {
            pos++;
        }
        try {
            return new BigDecimal(text.substring(start, pos));
        } catch (NumberFormatException e) {
            pos = start;
            throw error("bad number");
        }
    }
}
