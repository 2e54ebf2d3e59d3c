package forge;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.security.KeyFactory;
import java.security.MessageDigest;
import java.security.PrivateKey;
import java.security.Signature;
import java.security.spec.PKCS8EncodedKeySpec;
import java.util.Base64;

/**
 * Signs any manifest text with a key pair as keygen writes it, so that the
 * tests can offer the client what publish would never write (paths that
 * leave the folder, an expired or older release) under a trusted key.
 * Usage: ForgeRelease PRIVATE PUBLIC MANIFEST ENVELOPE
 */
public final class ForgeRelease {
    private ForgeRelease() {}

    public static void main(String[] args) throws Exception {
        String privateLine = Files.readString(Paths.get(args[0])).trim();
        String publicLine = Files.readString(Paths.get(args[1])).trim();
        byte[] manifest = Files.readAllBytes(Paths.get(args[2]));
        byte[] pkcs8 = Base64.getDecoder().decode(privateLine.substring(privateLine.indexOf(':') + 1));
        byte[] x509 = Base64.getDecoder().decode(publicLine.substring(publicLine.indexOf(':') + 1));
        PrivateKey key = KeyFactory.getInstance("Ed25519").generatePrivate(new PKCS8EncodedKeySpec(pkcs8));
        Signature signer = Signature.getInstance("Ed25519");
        signer.initSign(key);
        signer.update(manifest);
        byte[] digest = MessageDigest.getInstance("SHA-256").digest(x509);
        StringBuilder keyId = new StringBuilder();
        for (int i = 0; i < 8; i++) {
            keyId.append(String.format("%02x", digest[i]));
        }
        Base64.Encoder b64 = Base64.getEncoder();
        String envelope = "{\"signed\": \"" + b64.encodeToString(manifest) + "\", \"signatures\": [{\"keyId\": \""
            + keyId + "\", \"sig\": \"" + b64.encodeToString(signer.sign()) + "\"}]}\n";
        Path out = Paths.get(args[3]);
        Files.write(out, envelope.getBytes(StandardCharsets.UTF_8));
    }
}
