package io.tarnwick.update;

/** A refusal or failure of an update step, with a message that says what and why in one line. */
public class UpdateException extends Exception {
    private static final long serialVersionUID = 1L;

    public UpdateException(String message) {
        super(message);
    }

    public UpdateException(String message, Throwable cause) {
        super(message, cause);
    }
}
