package io.tarnwick.update;

import java.nio.charset.StandardCharsets;
import java.security.GeneralSecurityException;
import java.security.KeyPair;
import java.security.PublicKey;
import java.security.Signature;
import java.util.ArrayList;
import java.util.Base64;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * A manifest's exact bytes with the signatures over them, as release.json,
 * releases/&lt;version&gt;.json, installed.json and snapshot.json hold it:
 * {@code {"signed": "<base64>", "signatures": [{"keyId": "...", "sig": "<base64>"}]}}.
 * The signature is checked over the bytes before they are parsed.
 */
public record Envelope(byte[] signed, List<Signed> signatures) {
    /** The most an envelope may hold; reading stops past it. */
    public static final int MAX_BYTES = 4 << 20;

    /** One signature over the signed bytes. */
    public record Signed(String keyId, byte[] sig) {
        public Signed {
            sig = sig.clone();
        }

        @Override
        public byte[] sig() {
            return sig.clone();
        }
    }

    public Envelope {
        signed = signed.clone();
        signatures = List.copyOf(signatures);
    }

    @Override
    public byte[] signed() {
        return signed.clone();
    }

    public static Envelope sign(Manifest manifest, KeyPair key) throws UpdateException {
        byte[] bytes = manifest.toBytes();
        try {
            Signature signer = Signature.getInstance(Keys.ALGORITHM);
            signer.initSign(key.getPrivate());
            signer.update(bytes);
            return new Envelope(bytes, List.of(new Signed(Keys.keyId(key.getPublic()), signer.sign())));
        } catch (GeneralSecurityException e) {
            throw new UpdateException("cannot sign the manifest: " + e.getMessage(), e);
        }
    }

    public static Envelope parse(byte[] bytes, String what) throws UpdateException {
        if (bytes.length > MAX_BYTES) {
            throw new UpdateException(what + " is larger than " + MAX_BYTES + " bytes");
        }
        Map<String, Object> o = Json.object(Json.parse(bytes, what), what);
        byte[] signed = base64(Json.string(o, "signed", what), what);
        List<Signed> sigs = new ArrayList<>();
        for (Object item : Json.list(o, "signatures", what)) {
            Map<String, Object> s = Json.object(item, what + " signature");
            sigs.add(new Signed(Json.string(s, "keyId", what), base64(Json.string(s, "sig", what), what)));
        }
        return new Envelope(signed, sigs);
    }

    public byte[] toBytes() {
        Map<String, Object> o = new LinkedHashMap<>();
        o.put("signed", Base64.getEncoder().encodeToString(signed));
        List<Object> list = new ArrayList<>();
        for (Signed s : signatures) {
            Map<String, Object> e = new LinkedHashMap<>();
            e.put("keyId", s.keyId());
            e.put("sig", Base64.getEncoder().encodeToString(s.sig()));
            list.add(e);
        }
        o.put("signatures", list);
        return (Json.write(o) + "\n").getBytes(StandardCharsets.UTF_8);
    }

    /**
     * The manifest, once one signature verifies with one of the trusted keys;
     * otherwise a refusal that names {@code what}.
     */
    public Manifest verify(List<PublicKey> trusted, String what) throws UpdateException {
        boolean knownKey = false;
        for (Signed s : signatures) {
            for (PublicKey key : trusted) {
                if (!Keys.keyId(key).equals(s.keyId())) {
                    continue;
                }
                knownKey = true;
                if (verifies(key, s.sig)) {
                    return Manifest.parse(signed);
                }
            }
        }
        if (knownKey) {
            throw new UpdateException(what + " is refused: its signature does not match its contents");
        }
        throw new UpdateException(what + " is refused: it is signed by no trusted key");
    }

    /** The manifest without any check of its signature: for what the publisher reads of its own feed. */
    public Manifest unverifiedManifest() throws UpdateException {
        return Manifest.parse(signed);
    }

    private boolean verifies(PublicKey key, byte[] sig) {
        try {
            Signature verifier = Signature.getInstance(Keys.ALGORITHM);
            verifier.initVerify(key);
            verifier.update(signed);
            return verifier.verify(sig);
        } catch (GeneralSecurityException e) {
            return false;
        }
    }

    private static byte[] base64(String text, String what) throws UpdateException {
        try {
            return Base64.getDecoder().decode(text);
        } catch (IllegalArgumentException e) {
            throw new UpdateException(what + " holds text that is not valid base64");
        }
    }
}
