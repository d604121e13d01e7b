// A Java host of libreadcard.so through JNA, as a hospital's Java program
// calls it: all ten functions, each answer printed on one line, texts as the
// hex of their bytes (GBK, exactly as the library hands them over).
// Usage: java -cp jna.jar:. ReadcardHost /path/to/libreadcard.so.86
import com.sun.jna.Library;
import com.sun.jna.Native;
import com.sun.jna.Pointer;
import com.sun.jna.ptr.IntByReference;
import com.sun.jna.ptr.PointerByReference;

public class ReadcardHost {
  /** The ten functions of readcard.h; on Linux there is no __stdcall. */
  public interface Readcard extends Library {
    int QTZ_DLL_BBH();
    int QTZ_DKH(int unused1, int unused2, int unused3, int unused4,
                PointerByReference cardNumber, PointerByReference cardNumberCopy);
    int QTZ_ErrorString(int unused1, int unused2, int unused3);
    int QTZ_FindWindow2(int unused1);
    int CK_DKH(int unused1, int unused2, byte[] track, PointerByReference cardNumber);
    int QTZ_HSXK(int unused1, int unused2, int unused3, int unused4, int unused5, int unused6);
    int QTZ_YKT_JK_SD();
    int SBK_YKT_ICGETINFO(int unused1, int unused2, PointerByReference cardInfo,
                          IntByReference status);
    int SBK_YKT_ICPURCHASE(int unused1, int unused2, int unused3, int unused4, int unused5,
                           int unused6, int unused7, int unused8, int unused9, int unused10,
                           int unused11);
    int SBK_YKT_ICTRANSLOG(int unused1, int unused2, int unused3);
  }

  /** The NUL-terminated bytes that the library's pointer leads to. */
  static byte[] bytesOf(Pointer text) {
    return text.getByteArray(0, (int) text.indexOf(0, (byte) 0));
  }

  static String hex(PointerByReference reference) {
    Pointer text = reference.getValue();
    if (text == null) return "-";
    StringBuilder hex = new StringBuilder();
    for (byte b : bytesOf(text)) hex.append(String.format("%02x", b & 0xff));
    return hex.toString();
  }

  /** A track as the NUL-terminated bytes that CK_DKH reads. */
  static byte[] track(String text) {
    byte[] ascii = text.getBytes(java.nio.charset.StandardCharsets.US_ASCII);
    return java.util.Arrays.copyOf(ascii, ascii.length + 1);
  }

  public static void main(String[] arguments) {
    Readcard lib = Native.load(arguments[0], Readcard.class);
    System.out.println("QTZ_DLL_BBH " + lib.QTZ_DLL_BBH());
    System.out.println("inactive " + lib.QTZ_ErrorString(0, 0, 0) + " " + lib.QTZ_FindWindow2(0)
        + " " + lib.QTZ_HSXK(0, 0, 0, 0, 0, 0) + " " + lib.QTZ_YKT_JK_SD() + " "
        + lib.SBK_YKT_ICPURCHASE(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) + " "
        + lib.SBK_YKT_ICTRANSLOG(0, 0, 0));
    for (String text : new String[] {"1234", "123456780000123456=009633791987654321"}) {
      PointerByReference number = new PointerByReference();
      int result = lib.CK_DKH(0, 0, track(text), number);
      System.out.println("CK_DKH " + result + " " + hex(number));
    }
    PointerByReference number = new PointerByReference();
    PointerByReference copy = new PointerByReference();
    int result = lib.QTZ_DKH(0, 0, 0, 0, number, copy);
    System.out.println("QTZ_DKH " + result + " " + hex(number) + " " + hex(copy));
    PointerByReference info = new PointerByReference();
    IntByReference status = new IntByReference(7);
    result = lib.SBK_YKT_ICGETINFO(0, 0, info, status);
    System.out.println("SBK_YKT_ICGETINFO " + result + " " + status.getValue() + " " + hex(info));
  }
}
