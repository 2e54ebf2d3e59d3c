package io.tarnwick.update;

import java.nio.charset.StandardCharsets;
import java.security.GeneralSecurityException;
import java.security.KeyFactory;
import java.security.KeyPair;
import java.security.KeyPairGenerator;
import java.security.PrivateKey;
import java.security.PublicKey;
import java.security.SecureRandom;
import java.security.Signature;
import java.security.interfaces.EdECPrivateKey;
import java.security.spec.NamedParameterSpec;
import java.security.spec.PKCS8EncodedKeySpec;
import java.security.spec.X509EncodedKeySpec;
import java.util.Base64;

/**
 * Ed25519 keys as one line of text: a public key is
 * {@code tarnwick-ed25519:<base64 of its X.509 encoding>}, a private key
 * {@code tarnwick-ed25519-private:<base64 of its PKCS#8 encoding>}. A key's id
 * is the first 16 hex digits of the SHA-256 of its X.509 encoding.
 */
public final class Keys {
    public static final String PUBLIC_PREFIX = "tarnwick-ed25519:";
    public static final String PRIVATE_PREFIX = "tarnwick-ed25519-private:";
    static final String ALGORITHM = "Ed25519";

    private Keys() {}

    public static KeyPair generate() throws GeneralSecurityException {
        return KeyPairGenerator.getInstance(ALGORITHM).generateKeyPair();
    }

    public static String publicLine(PublicKey key) {
        return PUBLIC_PREFIX + Base64.getEncoder().encodeToString(key.getEncoded());
    }

    public static String privateLine(PrivateKey key) {
        return PRIVATE_PREFIX + Base64.getEncoder().encodeToString(key.getEncoded());
    }

    public static String keyId(PublicKey key) {
        return Hashing.sha256(key.getEncoded()).substring(0, 16);
    }

    /** Reads a public line as keygen writes it; {@code what} names its source in the error. */
    public static PublicKey parsePublic(String line, String what) throws UpdateException {
        byte[] der = decode(line, PUBLIC_PREFIX, what);
        try {
            return KeyFactory.getInstance(ALGORITHM).generatePublic(new X509EncodedKeySpec(der));
        } catch (GeneralSecurityException | RuntimeException e) {
            throw new UpdateException(what + " is not an Ed25519 public key: " + e.getMessage());
        }
    }

    /** Reads a private line; the public half is computed by the JDK from it. */
    public static KeyPair parsePrivate(String line, String what) throws UpdateException {
        byte[] der = decode(line, PRIVATE_PREFIX, what);
        try {
            PrivateKey privateKey = KeyFactory.getInstance(ALGORITHM).generatePrivate(new PKCS8EncodedKeySpec(der));
            byte[] seed = ((EdECPrivateKey) privateKey).getBytes().orElseThrow();
            // The JDK's generator makes the key pair from 32 random bytes; given the
            // private key's own bytes it yields the same private key and its public key.
            KeyPairGenerator generator = KeyPairGenerator.getInstance(ALGORITHM);
            generator.initialize(NamedParameterSpec.ED25519, new FixedBytes(seed));
            KeyPair pair = generator.generateKeyPair();
            byte[] probe = "tarnwick key check".getBytes(StandardCharsets.US_ASCII);
            Signature signer = Signature.getInstance(ALGORITHM);
            signer.initSign(privateKey);
            signer.update(probe);
            byte[] sig = signer.sign();
            Signature verifier = Signature.getInstance(ALGORITHM);
            verifier.initVerify(pair.getPublic());
            verifier.update(probe);
            if (!verifier.verify(sig)) {
                throw new GeneralSecurityException("its public half cannot be computed");
            }
            return new KeyPair(pair.getPublic(), privateKey);
        } catch (GeneralSecurityException | RuntimeException e) {
            throw new UpdateException(what + " is not an Ed25519 private key: " + e.getMessage());
        }
    }

    private static byte[] decode(String line, String prefix, String what) throws UpdateException {
        String text = line == null ? "" : line.trim();
        if (!text.startsWith(prefix)) {
            throw new UpdateException(what + " does not start with " + prefix);
        }
        try {
            return Base64.getDecoder().decode(text.substring(prefix.length()));
        } catch (IllegalArgumentException e) {
            throw new UpdateException(what + " is not valid base64 after " + prefix);
        }
    }

    /** Hands the generator the given bytes instead of random ones. */
    private static final class FixedBytes extends SecureRandom {
        private static final long serialVersionUID = 1L;
        private final byte[] bytes;

        FixedBytes(byte[] bytes) {
            this.bytes = bytes.clone();
        }

        @Override
        public void nextBytes(byte[] out) {
            System.arraycopy(bytes, 0, out, 0, Math.min(out.length, bytes.length));
        }
    }
}
