<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>ClassPlot</name>
    <message>
        <source>誤警報率</source>
        <translation>False-alarm rate</translation>
    </message>
    <message>
        <source>z(誤警報率)</source>
        <translation>z(false-alarm rate)</translation>
    </message>
    <message>
        <source>ヒット率</source>
        <translation>Hit rate</translation>
    </message>
    <message>
        <source>z(ヒット率)</source>
        <translation>z(hit rate)</translation>
    </message>
    <message>
        <source>各セッション（点と細線）</source>
        <translation>Each session (points and thin lines)</translation>
    </message>
    <message>
        <source>: 合算の適合</source>
        <translation>: pooled fit</translation>
    </message>
    <message>
        <source>: 平均 a, b</source>
        <translation>: mean a, b</translation>
    </message>
</context>
<context>
    <name>ClassReport</name>
    <message>
        <source>クラスの結果</source>
        <translation>Class results</translation>
    </message>
    <message>
        <source>作成 %1&#x3000;データ: %2</source>
        <translation>Made %1   Data: %2</translation>
    </message>
    <message>
        <source>デザインごとの要約</source>
        <translation>Summary by design</translation>
    </message>
    <message>
        <source>デザインの比較</source>
        <translation>Comparison of designs</translation>
    </message>
    <message>
        <source>項目</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>値</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>読み込めなかったファイル</source>
        <translation>Files that could not be read</translation>
    </message>
    <message>
        <source>セッション</source>
        <translation>Sessions</translation>
    </message>
    <message>
        <source>未完了のセッション（記録試行がデザインより少ないもの）%1 件を要約と比較に含めています。</source>
        <translation>Incomplete sessions (fewer recorded trials than their design has): %1, included in the summaries and the comparison.</translation>
    </message>
    <message>
        <source>未完了のセッション（記録試行がデザインより少ないもの）%1 件は要約と比較に含めていません。</source>
        <translation>Incomplete sessions (fewer recorded trials than their design has): %1, left out of the summaries and the comparison.</translation>
    </message>
</context>
<context>
    <name>ClassTables</name>
    <message>
        <source>— （データ不足）</source>
        <translation>— (too few data)</translation>
    </message>
    <message>
        <source>%1  95%区間 %2  自由度 %3</source>
        <translation>%1  95% interval %2  df %3</translation>
    </message>
    <message>
        <source>観察者</source>
        <translation>Observer</translation>
    </message>
    <message>
        <source>デザイン</source>
        <translation>Design</translation>
    </message>
    <message>
        <source>セッション</source>
        <translation>Session</translation>
    </message>
    <message>
        <source>記録試行</source>
        <translation>Recorded trials</translation>
    </message>
    <message>
        <source>基準</source>
        <translation>Criteria</translation>
    </message>
    <message>
        <source>χ² の p</source>
        <translation>χ² p</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>推定済</source>
        <translation>Fitted</translation>
    </message>
    <message>
        <source>推定不能</source>
        <translation>No fit</translation>
    </message>
    <message>
        <source>評定尺度が混在</source>
        <translation>Mixed rating scales</translation>
    </message>
    <message>
        <source>方法</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>観察者ごとの対応あり（%1 人）</source>
        <translation>Paired by observer (%1 observers)</translation>
    </message>
    <message>
        <source>Welch の方法（%1: %2 セッション、%3: %4 セッション）</source>
        <translation>Welch&apos;s test (%1: %2 sessions, %3: %4 sessions)</translation>
    </message>
    <message>
        <source>観察者名のないセッション %1 件</source>
        <translation>%1 sessions without an observer</translation>
    </message>
    <message>
        <source>対応から除外</source>
        <translation>Left out of the pairing</translation>
    </message>
    <message>
        <source>平均 Az の差（%1 − %2）</source>
        <translation>Difference of mean Az (%1 − %2)</translation>
    </message>
    <message>
        <source>平均 d_a の差（%1 − %2）</source>
        <translation>Difference of mean d_a (%1 − %2)</translation>
    </message>
    <message>
        <source>平均基準（%1）</source>
        <translation>Mean criteria (%1)</translation>
    </message>
    <message>
        <source>基準の差（%1 − %2）</source>
        <translation>Difference of criteria (%1 − %2)</translation>
    </message>
    <message>
        <source>露出時間が目標から 1 フレームを超えてずれた記録試行の数</source>
        <translation>Recorded trials whose exposure missed its target by more than one frame</translation>
    </message>
    <message>
        <source>露出ずれ</source>
        <translation>Mistimed</translation>
    </message>
    <message>
        <source>セッション</source>
        <comment>count</comment>
        <translation>Sessions</translation>
    </message>
    <message>
        <source>合算 d</source>
        <translation>Pooled d</translation>
    </message>
    <message>
        <source>合算 R</source>
        <translation>Pooled R</translation>
    </message>
    <message>
        <source>合算 Az ± SE</source>
        <translation>Pooled Az ± SE</translation>
    </message>
    <message>
        <source>平均 a</source>
        <translation>Mean a</translation>
    </message>
    <message>
        <source>平均 b</source>
        <translation>Mean b</translation>
    </message>
    <message>
        <source>平均 Az ± SD</source>
        <translation>Mean Az ± SD</translation>
    </message>
    <message>
        <source>Az の 95%区間</source>
        <translation>95% interval of Az</translation>
    </message>
    <message>
        <source>平均 d_a ± SD</source>
        <translation>Mean d_a ± SD</translation>
    </message>
    <message>
        <source>平均基準</source>
        <translation>Mean criteria</translation>
    </message>
    <message>
        <source>未完了・推定済</source>
        <translation>Incomplete, fitted</translation>
    </message>
    <message>
        <source>未完了・推定不能</source>
        <translation>Incomplete, no fit</translation>
    </message>
    <message>
        <source>未完了</source>
        <translation>Incomplete</translation>
    </message>
</context>
<context>
    <name>ClassWindow</name>
    <message>
        <source>クラスの結果</source>
        <translation>Class results</translation>
    </message>
    <message>
        <source>レポートを保存...</source>
        <translation>Save report...</translation>
    </message>
    <message>
        <source>図を保存...</source>
        <translation>Save figure...</translation>
    </message>
    <message>
        <source>表を保存...</source>
        <translation>Save table...</translation>
    </message>
    <message>
        <source>と</source>
        <translation>and</translation>
    </message>
    <message>
        <source>セッション</source>
        <translation>Sessions</translation>
    </message>
    <message>
        <source>デザインごとの要約</source>
        <translation>Summary by design</translation>
    </message>
    <message>
        <source>デザインの比較</source>
        <translation>Comparison of designs</translation>
    </message>
    <message>
        <source>セッションが見つかりません（%1）。ファイルが増えれば表示します。</source>
        <translation>No sessions found (%1). They are shown as files appear.</translation>
    </message>
    <message>
        <source>デザインが 2 つ以上あるときに比較します。</source>
        <translation>Designs are compared when there are two or more.</translation>
    </message>
    <message>
        <source>異なる 2 つのデザインを選んでください。</source>
        <translation>Choose two different designs.</translation>
    </message>
    <message>
        <source>レポートを保存</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>図を保存</source>
        <translation>Save figure</translation>
    </message>
    <message>
        <source>表を保存</source>
        <translation>Save table</translation>
    </message>
    <message>
        <source>クラスの読み込み元のファイルやフォルダーの中には保存しません: </source>
        <translation>Will not save over a file or inside a folder the class is read from: </translation>
    </message>
    <message>
        <source>未完了のセッション（記録試行がデザインより少ないもの）も含める</source>
        <translation>Include the incomplete sessions (fewer recorded trials than their design has)</translation>
    </message>
    <message>
        <source>読み込めなかったもの、読み方の注意</source>
        <translation>What could not be read, and how files were read</translation>
    </message>
    <message>
        <source>セッションが見つかりません（%1）。記録が増えれば表示します。</source>
        <translation>No sessions found (%1). They are shown as trials are recorded.</translation>
    </message>
    <message>
        <source>ファイル %1 件</source>
        <translation>%1 files</translation>
    </message>
    <message>
        <source>データベース</source>
        <translation>database</translation>
    </message>
    <message>
        <source>データベース %1 件</source>
        <translation>%1 databases</translation>
    </message>
    <message>
        <source>セッション %1 件、%2&#x3000;最終更新 %3</source>
        <translation>%1 sessions, %2   last updated %3</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>クラスのデータベースにセッションが見つかりません（%1）。記録が増えれば表示します。</source>
        <translation>No sessions found in the class database (%1). They are shown as trials are recorded.</translation>
    </message>
</context>
<context>
    <name>EWriteError</name>
    <message>
        <source>ファイルに書き込めません: </source>
        <translation>Cannot write the file: </translation>
    </message>
    <message>
        <source>試行の記録を書き込めません: </source>
        <translation>Cannot write the trial record: </translation>
    </message>
</context>
<context>
    <name>ObserverDialog</name>
    <message>
        <source>名前を入力して下さい。</source>
        <translation>Please enter a name.</translation>
    </message>
    <message>
        <source>名前は %1 文字までです。</source>
        <translation>A name has at most %1 characters.</translation>
    </message>
    <message>
        <source>制御文字は使えません。</source>
        <translation>Control characters are not allowed.</translation>
    </message>
    <message>
        <source>観察者</source>
        <translation>Observer</translation>
    </message>
    <message>
        <source>観察者の名前を入力して下さい。</source>
        <translation>Please enter the observer&apos;s name.</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Page</name>
    <message>
        <source>未送信 %1</source>
        <translation>%1 not sent yet</translation>
    </message>
    <message>
        <source>すべての回答が保存されました</source>
        <translation>All answers are stored</translation>
    </message>
    <message>
        <source>この実験は別のタブで開かれています</source>
        <translation>This run is open in another tab</translation>
    </message>
    <message>
        <source>画面が隠れたので、この試行をもう一度行います</source>
        <translation>The page was hidden: this trial is shown again</translation>
    </message>
    <message>
        <source>少し待ってから、もう一度開始して下さい</source>
        <translation>Wait a moment, then start again</translation>
    </message>
    <message>
        <source>サーバーにつながりません</source>
        <translation>The server cannot be reached</translation>
    </message>
    <message>
        <source>教員用のページ</source>
        <translation>Teacher&apos;s page</translation>
    </message>
    <message>
        <source>学生用のリンク</source>
        <translation>Students&apos; link</translation>
    </message>
    <message>
        <source>実験の一覧</source>
        <translation>Runs</translation>
    </message>
    <message>
        <source>回答</source>
        <translation>Answered</translation>
    </message>
    <message>
        <source>最後の回答</source>
        <translation>Last answer</translation>
    </message>
    <message>
        <source>未送信</source>
        <translation>Not sent</translation>
    </message>
    <message>
        <source>まだ実験はありません</source>
        <translation>No runs yet</translation>
    </message>
    <message>
        <source>試行ごとのデータ (trials.csv)</source>
        <translation>Per-trial rows (trials.csv)</translation>
    </message>
    <message>
        <source>セッションごとのデータ (sessions.csv)</source>
        <translation>Sessions (sessions.csv)</translation>
    </message>
    <message>
        <source>サーバーにこの実験がありません。もう一度開始して下さい</source>
        <translation>The server does not know this run: please start again</translation>
    </message>
    <message>
        <source>デザインごとの要約 (class-summary.csv)</source>
        <translation>Summary by design (class-summary.csv)</translation>
    </message>
    <message>
        <source>クラスのレポート (PDF)</source>
        <translation>Class report (PDF)</translation>
    </message>
</context>
<context>
    <name>ReadNote</name>
    <message>
        <source>2026-12-08T19:20:31.123Z のような UTC の時刻</source>
        <translation>a UTC time like 2026-12-08T19:20:31.123Z</translation>
    </message>
    <message>
        <source>デザインの名前</source>
        <translation>a design&apos;s name</translation>
    </message>
    <message>
        <source>2 から %1 までの整数</source>
        <translation>a whole number from 2 to %1</translation>
    </message>
    <message>
        <source>0 から 4294967295 までの整数</source>
        <translation>a whole number from 0 to 4294967295</translation>
    </message>
    <message>
        <source>1 以上の整数</source>
        <translation>a whole number from 1</translation>
    </message>
    <message>
        <source>%1 か %2</source>
        <translation>%1 or %2</translation>
    </message>
    <message>
        <source>評定の番号</source>
        <translation>a rating code</translation>
    </message>
    <message>
        <source>ミリ秒の数</source>
        <translation>a number of milliseconds</translation>
    </message>
    <message>
        <source>ミリ秒の整数</source>
        <translation>a whole number of milliseconds</translation>
    </message>
    <message>
        <source>ファイルもフォルダーもありません</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>読む権限がありません</source>
        <translation>no permission to read it</translation>
    </message>
    <message>
        <source>フォルダーです</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>読み込めません（%1）</source>
        <translation>cannot be read (%1)</translation>
    </message>
    <message>
        <source>UTF-8 としても Shift_JIS (CP932) としても読めない文字があります</source>
        <translation>neither UTF-8 nor Shift_JIS (CP932) text</translation>
    </message>
    <message>
        <source>最初の行は見出し %1 か %2 でなければなりません</source>
        <translation>the first line must be the header %1 or %2</translation>
    </message>
    <message>
        <source>セッションがありません</source>
        <translation>no sessions</translation>
    </message>
    <message>
        <source>クラスのデータベースを読めません: %1</source>
        <translation>the class database cannot be read: %1</translation>
    </message>
    <message>
        <source>引用符 (&quot;) の使い方が正しくありません</source>
        <translation>malformed quotes</translation>
    </message>
    <message>
        <source>欄が %1 個のはずが %2 個あります</source>
        <translation>expected %1 fields, found %2</translation>
    </message>
    <message>
        <source>%1 の「%2」が %3 ではありません</source>
        <translation>%1 &quot;%2&quot; is not %3</translation>
    </message>
    <message>
        <source>試行「%1」が 1 から %2 までの整数ではありません</source>
        <translation>trial &quot;%1&quot; is not a whole number from 1 to %2</translation>
    </message>
    <message>
        <source>段階「%1」が試行 %2 の段階（%3）と合いません</source>
        <translation>phase &quot;%1&quot; does not match trial %2 (%3)</translation>
    </message>
    <message>
        <source>評定「%1」が 1 から %2 までの評定ではありません</source>
        <translation>response &quot;%1&quot; is not a rating from 1 to %2</translation>
    </message>
    <message>
        <source>セッション %2 の試行 %1 が重なっています（先の行を使います）</source>
        <translation>trial %1 of session %2 again (the first one counts)</translation>
    </message>
    <message>
        <source>UTF-8 ではないので Shift_JIS (CP932) として読みました</source>
        <translation>read as Shift_JIS (CP932) text, since it is not UTF-8</translation>
    </message>
    <message>
        <source>欄の区切りを「;」、小数点を「,」として読みました</source>
        <translation>read with &quot;;&quot; between the fields and &quot;,&quot; as the decimal mark</translation>
    </message>
    <message>
        <source>試行の数</source>
        <translation>a number of trials</translation>
    </message>
</context>
<context>
    <name>RocPage</name>
    <message>
        <source>最尤推定を計算しています…</source>
        <translation>Fitting by maximum likelihood…</translation>
    </message>
    <message>
        <source>まだ送信されていない回答があります（未送信 %1）。すべて保存されてから最尤推定をします。</source>
        <translation>Some answers are not sent yet (%1 not sent): the fit follows once all are stored.</translation>
    </message>
    <message>
        <source>サーバーにつながりません。</source>
        <translation>The server cannot be reached.</translation>
    </message>
    <message>
        <source>サーバーから最尤推定を受け取れません。もう一度試しています。</source>
        <translation>The fit could not be had from the server: trying again.</translation>
    </message>
</context>
<context>
    <name>TAnalysisWindow</name>
    <message>
        <source>最尤推定</source>
        <translation>Maximum likelihood</translation>
    </message>
    <message>
        <source>記録された試行</source>
        <translation>Recorded trials</translation>
    </message>
    <message>
        <source>評定</source>
        <translation>Rating</translation>
    </message>
    <message>
        <source>計</source>
        <translation>Total</translation>
    </message>
    <message>
        <source>ノイズ</source>
        <translation>Noise</translation>
    </message>
    <message>
        <source>シグナル</source>
        <translation>Signal</translation>
    </message>
    <message>
        <source>累積率</source>
        <translation>Cumulative</translation>
    </message>
    <message>
        <source>点%1</source>
        <translation>Point %1</translation>
    </message>
    <message>
        <source>誤警報率</source>
        <translation>False alarms</translation>
    </message>
    <message>
        <source>ヒット率</source>
        <translation>Hits</translation>
    </message>
    <message>
        <source>最尤推定と目測</source>
        <translation>Maximum likelihood and by eye</translation>
    </message>
    <message>
        <source>最尤推定値</source>
        <translation>ML estimate</translation>
    </message>
    <message>
        <source>標準誤差</source>
        <translation>Std. error</translation>
    </message>
    <message>
        <source>目測</source>
        <translation>By eye</translation>
    </message>
    <message>
        <source>逸脱度 G²</source>
        <translation>Deviance G²</translation>
    </message>
    <message>
        <source>G² = 2 ×（目測の −log L − 最尤の −log L）</source>
        <translation>G² = 2 × (by-eye −log L − ML −log L)</translation>
    </message>
    <message>
        <source>最尤推定から</source>
        <translation>From the ML fit</translation>
    </message>
    <message>
        <source>Az の標準誤差</source>
        <translation>SE of Az</translation>
    </message>
    <message>
        <source>自由度</source>
        <translation>df</translation>
    </message>
    <message>
        <source>最尤推定を適用</source>
        <translation>Apply the ML fit</translation>
    </message>
    <message>
        <source>プロットに重ねる</source>
        <translation>Show on the plot</translation>
    </message>
    <message>
        <source>データがありません（Dispボタンを押して下さい）。</source>
        <translation>No data (press the Disp button).</translation>
    </message>
    <message>
        <source>記録された試行がありません。</source>
        <translation>No recorded trials.</translation>
    </message>
    <message>
        <source>このデータでは最尤推定ができません（縮退）。%1</source>
        <translation>These data allow no maximum-likelihood fit (degenerate). %1</translation>
    </message>
    <message>
        <source>評定が 3 段階未満です。</source>
        <translation>There are fewer than three ratings.</translation>
    </message>
    <message>
        <source>ノイズとシグナルで評定の段階数が異なります。</source>
        <translation>Noise and signal have different numbers of ratings.</translation>
    </message>
    <message>
        <source>負の度数があります。</source>
        <translation>A count is negative.</translation>
    </message>
    <message>
        <source>ノイズかシグナルの試行がありません。</source>
        <translation>There are no noise trials or no signal trials.</translation>
    </message>
    <message>
        <source>ノイズでもシグナルでも使われていない評定があります。</source>
        <translation>A rating was used on neither noise nor signal trials.</translation>
    </message>
    <message>
        <source>ノイズとシグナルの評定が重なっていません（共通の評定が 1 つ以下）。</source>
        <translation>The noise and signal ratings do not overlap (they share at most one rating).</translation>
    </message>
    <message>
        <source>ノイズかシグナルの回答がすべて 1 つの評定にあります。</source>
        <translation>All noise answers or all signal answers are in one rating.</translation>
    </message>
    <message>
        <source>ノイズかシグナルの回答が隣り合う 2 つの評定か両端の評定だけにあります。</source>
        <translation>The noise or the signal answers are only in two neighbouring ratings or in the two outermost ones.</translation>
    </message>
    <message>
        <source>最尤推定の探索が有限の最適値に収束しませんでした。</source>
        <translation>The maximum-likelihood search did not converge to a finite optimum.</translation>
    </message>
    <message>
        <source>z が無限大の点 %1 個は表示していません（率が 0 または 1）。</source>
        <translation>Points with infinite z not shown: %1 (rate 0 or 1).</translation>
    </message>
    <message>
        <source>基準の順序が不正です</source>
        <translation>the criteria are out of order</translation>
    </message>
    <message>
        <source>R が 0 以下です</source>
        <translation>R is 0 or less</translation>
    </message>
    <message>
        <source>計算できません</source>
        <translation>cannot be computed</translation>
    </message>
    <message>
        <source>目測の −log L: </source>
        <translation>−log L by eye: </translation>
    </message>
    <message>
        <source>。</source>
        <translation>.</translation>
    </message>
</context>
<context>
    <name>TDispGraph2</name>
    <message>
        <source>大</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>小</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>Dispボタンを押して下さい</source>
        <translation>Press the Disp button</translation>
    </message>
    <message>
        <source>: PNG を保存できません</source>
        <translation>: cannot save the PNG</translation>
    </message>
    <message>
        <source>最尤推定...</source>
        <translation>Maximum likelihood...</translation>
    </message>
    <message>
        <source>プロットを保存...</source>
        <translation>Save plot...</translation>
    </message>
    <message>
        <source>プロットを保存</source>
        <translation>Save plot</translation>
    </message>
    <message>
        <source>結果を保存...</source>
        <translation>Save results...</translation>
    </message>
    <message>
        <source>結果を保存</source>
        <translation>Save results</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>「Do Exp」ボタンを押して下さい</source>
        <translation>Press the &quot;Do Exp&quot; button</translation>
    </message>
    <message>
        <source>Disp. Data ボタンを押して下さい</source>
        <translation>Press the Disp. Data button</translation>
    </message>
    <message>
        <source>結果を保存しました:
</source>
        <translation>Results saved:
</translation>
    </message>
</context>
<context>
    <name>TFormDisp</name>
    <message>
        <source>==&gt; 「%1」ボタン</source>
        <translation>==&gt; &quot;%1&quot; button</translation>
    </message>
    <message>
        <source>第%1試行</source>
        <translation>Trial %1</translation>
    </message>
    <message>
        <source>フォルダ %1 を作成できません</source>
        <translation>Cannot create the folder %1</translation>
    </message>
    <message>
        <source>茶色の増えていないパターンが提示されました</source>
        <translation>The pattern without more brown was shown</translation>
    </message>
    <message>
        <source>茶色の増えたパターンが提示されました</source>
        <translation>The pattern with more brown was shown</translation>
    </message>
    <message>
        <source>GOボタンを押して下さい</source>
        <translation>Press the GO button</translation>
    </message>
    <message>
        <source>Exitボタンを押して下さい</source>
        <translation>Press the Exit button</translation>
    </message>
    <message>
        <source>実験は終了しました</source>
        <translation>The experiment is over</translation>
    </message>
    <message>
        <source>オレンジ色の増えていないパターンが提示されました</source>
        <translation>The pattern without more orange was shown</translation>
    </message>
    <message>
        <source>オレンジ色の増えたパターンが提示されました</source>
        <translation>The pattern with more orange was shown</translation>
    </message>
</context>
<context>
    <name>UZRocView</name>
    <message>
        <source>z(誤警報率)</source>
        <translation>z(false-alarm rate)</translation>
    </message>
    <message>
        <source>z(ヒット率)</source>
        <translation>z(hit rate)</translation>
    </message>
    <message>
        <source>観測点</source>
        <translation>Observed</translation>
    </message>
    <message>
        <source>最尤推定</source>
        <translation>Maximum likelihood</translation>
    </message>
    <message>
        <source>目測</source>
        <translation>By eye</translation>
    </message>
</context>
<context>
    <name>experiment::Design</name>
    <message>
        <source>異常あり</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>たぶん異常あり</source>
        <translation>Probably yes</translation>
    </message>
    <message>
        <source>やや異常あり</source>
        <translation>Maybe yes</translation>
    </message>
    <message>
        <source>やや異常なし</source>
        <translation>Maybe no</translation>
    </message>
    <message>
        <source>たぶん異常なし</source>
        <translation>Probably no</translation>
    </message>
    <message>
        <source>異常なし</source>
        <translation>No</translation>
    </message>
    <message>
        <source>確かに茶色が増えた</source>
        <translation>The brown squares surely increased</translation>
    </message>
    <message>
        <source>茶色が増えたと思う</source>
        <translation>I think the brown squares increased</translation>
    </message>
    <message>
        <source>どちらかといえば茶色が増えた</source>
        <translation>The brown squares rather increased</translation>
    </message>
    <message>
        <source>どちらかといえば茶色は増えていない</source>
        <translation>The brown squares rather did not increase</translation>
    </message>
    <message>
        <source>茶色が増えたと思わない</source>
        <translation>I don&apos;t think the brown squares increased</translation>
    </message>
    <message>
        <source>絶対に茶色は増えていない</source>
        <translation>The brown squares surely did not increase</translation>
    </message>
    <message>
        <source>確かにオレンジ色が増えた</source>
        <translation>The orange squares surely increased</translation>
    </message>
    <message>
        <source>オレンジ色が増えたと思う</source>
        <translation>I think the orange squares increased</translation>
    </message>
    <message>
        <source>どちらかといえばオレンジ色が増えた</source>
        <translation>The orange squares rather increased</translation>
    </message>
    <message>
        <source>どちらかといえばオレンジ色は増えていない</source>
        <translation>The orange squares rather did not increase</translation>
    </message>
    <message>
        <source>オレンジ色が増えたと思わない</source>
        <translation>I don&apos;t think the orange squares increased</translation>
    </message>
    <message>
        <source>絶対にオレンジ色は増えていない</source>
        <translation>The orange squares surely did not increase</translation>
    </message>
</context>
<context>
    <name>numeric::ProgramError</name>
    <message>
        <source>0 による浮動小数点数除算</source>
        <translation>Floating-point division by zero</translation>
    </message>
    <message>
        <source>不正な浮動小数点数演算命令</source>
        <translation>Invalid floating-point operation</translation>
    </message>
    <message>
        <source>浮動小数点数のオーバーフロー</source>
        <translation>Floating-point overflow</translation>
    </message>
    <message>
        <source>システム リソースが足りません</source>
        <translation>Not enough system resources</translation>
    </message>
</context>
<context>
    <name>store::Store</name>
    <message>
        <source>前回送れなかった %1 件の試行をデータベースに送ります</source>
        <translation>Sending the %1 trials not sent last time to the database</translation>
    </message>
    <message>
        <source>（未送信 %1 件は手元に保存）</source>
        <translation> (%1 trials not yet sent are kept on this computer)</translation>
    </message>
    <message>
        <source>データベースに接続できません</source>
        <translation>Cannot connect to the database</translation>
    </message>
    <message>
        <source>データベースに書き込めません</source>
        <translation>Cannot write to the database</translation>
    </message>
    <message>
        <source>この利用者には試行を書き込む権限がありません</source>
        <translation>This user may not write trials</translation>
    </message>
    <message>
        <source>クラスのデータベースに記録しています: </source>
        <translation>Recording in the class database: </translation>
    </message>
</context>
</TS>
