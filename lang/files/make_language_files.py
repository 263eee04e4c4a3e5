#!/usr/bin/env python3
"""Writes the language files shipped with the program, English.ini
(Windows-1252) and Japanese.ini (Shift_JIS, code page 932), from the texts
below. The files are committed; run this after changing a text:

    python3 lang/files/make_language_files.py

Every window that shows captions has a section named after the window;
each component with a caption has a key Window.Component.Caption (and
Window.Component.Hint where it has a hint). The Japanese texts are the
windows' built-in captions, so that switching back to Japanese restores them.
A character that a file's code page cannot hold fails the script.
"""

import pathlib

# (component, English, Japanese); None as the component is the window's own
# caption.
WINDOWS = {
    # The main window's caption is the program's name and version in every
    # language, so the files leave it alone.
    "Form1": [
        ("LOutput", "Output size", "出力サイズ"),
        ("LWidth", "Width", "幅"),
        ("LHeight", "x Height", "x 高さ"),
        ("LScale", "Scale", "スケール"),
        ("Label5", "[%]", "[%]"),
        ("FMFile", "&File", "ファイル(&F)"),
        ("FMOpen", "&Open...", "開く(&O)..."),
        ("FMReOpen", "Reload", "リロード"),
        ("FMSampleLoad", "Sample", "サンプル"),
        ("FMSaveAs", "Save &As...", "指定形式で保存(&A)..."),
        ("FMLanguage", "Language", "言語設定"),
        ("FMEnglish", "English", "英語"),
        ("FMJapanese", "Japanese", "日本語"),
        ("FMExit", "E&xit", "終了(&X)"),
        ("FMResample", "&Resample", "リサンプル(&R)"),
        ("FMLanczos4", "Lanczos&4", "Lanczos&4"),
        ("FMLanczos3", "Lanczos&3", "Lanczos&3"),
        ("FMLanczos2", "Lanczos&2", "Lanczos&2"),
        ("FMMitchell", "&Mitchell", "&Mitchell"),
        ("FMLagrange", "Lag&range", "Lag&range"),
        ("FMHermite", "&Hermite", "&Hermite"),
        ("FMBell", "&Bell", "&Bell"),
        ("FMBSpline", "B-&Spline", "B-&Spline"),
        ("FMGauss", "&Gauss", "&Gauss"),
        ("FMBicubic", "Bi&cubic", "Bi&cubic （双３次補間）"),
        ("FMBilinear", "Bi&linear", "Bi&linear （線形補間）"),
        ("FMAveragePixel", "&Average pixel", "平均画素法(&A)"),
        ("FMNearestNeighbor", "&Nearest Neighbor", "&Nearest Neighbor （最近傍法）"),
        ("FMTest1", "Test1", "Test1"),
        ("FMTest2", "Test2", "Test2"),
        ("FMTestEdgeMask", "Test edge mask", "Test エッジマスク"),
        ("FMLiftingBilinear", "Lifting bilinear", "Lifting bilinear"),
        ("FMBilinearV2", "Bilinear V2", "Bilinear V2"),
        ("FMExtra", "&Extras", "おまけ(&E)"),
        ("FMBuildHTMLSample", "Build the resampling list (HTML file), 1 column",
         "リサンプル一覧の作成（HTMLファイル） 1列"),
        ("FMBuildHTMLSample2", "Build the resampling list (HTML file), chosen columns",
         "リサンプル一覧の作成（HTMLファイル） 列指定"),
        ("FMCol2", "2 columns", "2列"),
        ("FMCol3", "3 columns", "3列"),
        ("FMCol4", "4 columns", "4列"),
        ("FMCol5", "5 columns", "5列"),
        ("FMCustomizeOutput", "Resampling list output options...", "リサンプル一覧 出力オプション..."),
        ("FMFileNameRule", "File naming rule", "ファイル命名規則"),
        ("FMUpscaleOption", "&Upscale options", "拡大時オプション(&U)"),
        ("FMNoopUpscale", "Do nothing", "何もしない"),
        ("FMLPF_DCTCut7", "Delete high frequencies: DCT cut7", "高周波成分を削除 DCT cut7"),
        ("FMLPF_DCTCut6", "Delete high frequencies: DCT cut6", "高周波成分を削除 DCT cut6"),
        ("FMLPF_DCTCut5", "Delete high frequencies: DCT cut5", "高周波成分を削除 DCT cut5"),
        ("FMMedianFilter", "Median filter", "メディアンフィルター"),
    ],
    "FormPrefix": [
        (None, "File naming rule", "ファイルの命名規則"),
        ("CBPrefix", "Prefix", "接頭語 ( prefix )"),
        ("CBSuffix", "Suffix", "接尾語 ( suffix )"),
        ("ButtonOK", "OK", "OK"),
        ("ButtonCancel", "Cancel", "キャンセル"),
    ],
    "FormSampleOutputFormat": [
        (None, "Output format", "出力形式"),
        ("GBOutputFormat", "Output format of the sample list", "サンプル一覧の出力形式"),
        ("RBJPEG420", "JPEG sampling 4:2:0 ( IJG default )", "JPEG サンプリング比 4:2:0 ( IJG default )"),
        ("RBJPEG444", "JPEG sampling 4:4:4", "JPEG サンプリング比 4:4:4"),
        ("RBPNG", "PNG", "PNG"),
        ("GBJPEGQuality", "JPEG quality", "JPEG品質"),
        ("ButtonOK", "OK", "OK"),
    ],
}

# Section "Misc": "*|*" is a line break; a value whose last blank matters
# ends with a "//" comment, since lines lose their trailing blanks.
MISC = [
    ("MISC_MBT_CONVERTERR", "Convert error", "変換エラー"),
    ("MISC_MBM_CONVERTERR", "Unknown file format", "未対応のファイル形式です。"),
    ("MISC_MBT_FILEREPLACE", "Confirm File Replace", "ファイルの上書き確認"),
    ("MISC_MBM_FILEREPLACE", "The file already exists.*|*Do you want to replace it?",
     "同じ名前のファイルがあります。*|*上書きしますか？"),
    ("MISC_RESAMPLING_SAMPLE_TITLE", "Vorlix Resampling sample list", "Vorlix リサンプル一覧"),
    ("MISC_RESAMPLING_SAMPLE_CHARSET", "iso-8859-1", "Shift_JIS"),
    ("MISC_VORLIX_PREPROCESS", "Preprocessing: Delete high freq element // ends with a blank",
     "前処理: 高周波成分を削除 // 末尾に空白"),
    ("MISC_VORLIX_SELECTED_ALGORITHM", "Selected algorithm: // ends with a blank",
     "選択したアルゴリズム: // 末尾に空白"),
    # This file supplies the texts of the save dialog.
    ("MISC_LANGINI_ENABLED", "1", "1"),
    ("MISC_OPTION", "Option", "オプション"),
    ("MISC_QUALITY", "Quality", "品質"),
    ("MISC_PROGRESSIVEJPEG", "Progressive JPEG", "プログレッシブ JPEG"),
    ("MISC_GRAYSCALE", "Grayscale", "グレイスケール"),
    ("MISC_INTERLACEDPNG", "Interlaced PNG(ADAM7)", "インターレース ( ADAM7 )"),
    ("MISC_RLECOMPRESSION", "Run length encoding", "RLE で圧縮"),
    ("MISC_RESOURCENAME", "Resource name", "リソース名"),
    ("MISC_REDUCETO256COLOR", "Reduce to 256 colors", "256色へ減色"),
    ("MISC_NOOPTION", "No options", "オプションはありません。"),
    ("MISC_GIFTRANSPARENT", "Transparent (bottom-left colour)", "透過GIF （左下の色を透過）"),
    ("MISC_PNGTRANSPARENT", "Transparent (bottom-left colour)", "透過PNG （左下の色を透過）"),
    ("MISC_SUBSAMPLING", "Sub sampling", "サブサンプリング"),
    ("MISC_SUBSAMPLING420", "4:2:0 (recommended)", "4:2:0（推奨）"),
    ("MISC_SUBSAMPLING444", "4:4:4", "4:4:4"),
    ("MISC_EXIF", "Exif", "Exif"),
    ("MISC_EXIFCOPY", "Copy Exif", "Exifをコピー"),
    ("MISC_EXIFTHUMBUPDATE", "Update the Exif thumbnail", "Exifサムネイルを更新"),
    # The main window's own messages; "%s" stands for the value they name.
    ("MISC_MBM_WIDTHTOOSMALL", "The width must be at least 1 pixel.", "幅は 1 ピクセル以上にしてください。"),
    ("MISC_MBM_HEIGHTTOOSMALL", "The height must be at least 1 pixel.", "高さは 1 ピクセル以上にしてください。"),
    ("MISC_MBM_LOADWARNING", "The picture was opened with a warning: %s", "画像を開きましたが、警告があります: %s"),
    ("MISC_MBM_ENDSEARLY", "The file ends early; the rest of the picture is missing.",
     "ファイルが途中で終わっています。画像の残りの部分はありません。"),
    ("MISC_STATUS_RUNNING", "Running %s...", "%s を実行中..."),
]

FILES = [
    # (file, column, code page, header)
    ("English.ini", 1, "cp1252", "English, Windows-1252"),
    ("Japanese.ini", 2, "cp932", "Japanese, Shift_JIS (code page 932)"),
]


def lines_for(column, header):
    lines = [f"; Vorlix language file: {header}.", ""]
    for window, rows in WINDOWS.items():
        lines.append(f"[{window}]")
        for row in rows:
            key = window if row[0] is None else f"{window}.{row[0]}"
            lines.append(f"{key}.Caption={row[column]}")
        lines.append("")
    lines.append("[Misc]")
    for row in MISC:
        lines.append(f"{row[0]}={row[column]}")
    return lines


def main():
    folder = pathlib.Path(__file__).resolve().parent
    for name, column, codepage, header in FILES:
        text = "\r\n".join(lines_for(column, header)) + "\r\n"
        (folder / name).write_bytes(text.encode(codepage))


if __name__ == "__main__":
    main()
